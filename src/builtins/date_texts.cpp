// The text methods of Date objects: toString, toDateString, toTimeString,
// the three locale forms, toGMTString and toUTCString. The row's extra word
// is the mode of the formatter.
#include "builtins/date_object.h"
#include "builtins/date_text.h"
#include "objects/natives.h"
#include "values/context.h"
#include "platform/clock.h"

namespace quillon {

void DateObj_AnswerText(RunContext *ctx, const DayTriple &local, uint32_t mode) {
    char buf[kDateTextSize];
    size_t len = 0;
    if (uint32_t st = Date_Format(local, mode, Plat_ZoneOffset(), buf, sizeof buf, &len)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    JSAny_SetStringBytes(&ctx->ret, buf, len);
}

void Bi_DateText(RunContext *ctx, Function *fn) {
    Object *o = DateObj_This(ctx);
    if (!o) return;
    DayTriple t;
    if (uint32_t st = DateObj_ReadTriple(o, &t)) {
        JSAny_SetError(&ctx->ret, st);
        return;
    }
    DateObj_AnswerText(ctx, t, static_cast<uint32_t>(fn->extra));
}

}  // namespace quillon
