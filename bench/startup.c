/* startup.c - the cost of a program space: create one with the whole
   built-in table, run an empty script, destroy it; a thousand times. */
#include <stdio.h>
#include <time.h>

#include "quillon.h"

int main(void) {
    struct timespec a, b;
    if (!OpenJSLibrary()) return 1;
    clock_gettime(CLOCK_MONOTONIC, &a);
    for (int i = 0; i < 1000; ++i) {
        JSProgramSpace *s = CreateJSProgramSpace(NULL, NULL, 0);
        if (!s) return 1;
        RunJavaScript(s, "", 0, 0, 0, 0);
        DeleteJSProgramSpace(s);
    }
    clock_gettime(CLOCK_MONOTONIC, &b);
    double us = ((b.tv_sec - a.tv_sec) * 1e9 + (b.tv_nsec - a.tv_nsec)) / 1e3 / 1000;
    printf("startup: %.1f microseconds per space (create, empty run, destroy)\n", us);
    CloseJSLibrary();
    return 0;
}
