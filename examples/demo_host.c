/* demo_host.c - the smallest host: opens the library, creates a program
   space, prints the space's serial number and the library's identification
   text, and closes again. Written in C99 against quillon.h alone. */
#include <stdio.h>
#include <string.h>

#include "quillon.h"

int main(void) {
    JSLibraryBase *base = OpenJSLibrary();
    if (!base) {
        fprintf(stderr, "cannot open quillon.library\n");
        return 1;
    }
    JSProgramSpace *space = CreateJSProgramSpace(NULL, NULL, 0);
    if (!space) {
        fprintf(stderr, "cannot create a program space\n");
        CloseJSLibrary();
        return 1;
    }
    /* The identification text ends in "\r\n"; print it without the \r. */
    char id[64];
    size_t n = strcspn(base->lib_IdString, "\r\n");
    memcpy(id, base->lib_IdString, n);
    id[n] = 0;
    printf("program space %u\n", (unsigned)GetJSProgramSpaceSerial(space));
    printf("%s (version %u.%u)\n", id, (unsigned)base->lib_Version, (unsigned)base->lib_Revision);
    DeleteJSProgramSpace(space);
    CloseJSLibrary();
    return 0;
}
