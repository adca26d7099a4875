// The HTML wrapper methods of strings: <TAG>text</TAG>, and for the forms
// with an attribute <TAG ATTR="value">text</TAG>, the value inserted as it
// is (no escaping). One entry serves all thirteen, told apart by name.
#include <cstring>

#include "objects/natives.h"
#include "builtins/strbuf.h"
#include "builtins/string_this.h"

namespace quillon {

namespace {

struct HtmlForm {
    const char *method;
    const char *tag;
    const char *attribute;  // null: no attribute
};

constexpr HtmlForm kForms[] = {
    {"anchor", "A", "NAME"},   {"big", "BIG", nullptr},       {"blink", "BLINK", nullptr},
    {"bold", "B", nullptr},    {"fixed", "TT", nullptr},      {"fontcolor", "FONT", "COLOR"},
    {"fontsize", "FONT", "SIZE"}, {"italics", "I", nullptr},  {"link", "A", "HREF"},
    {"small", "SMALL", nullptr}, {"strike", "STRIKE", nullptr}, {"sub", "SUB", nullptr},
    {"sup", "SUP", nullptr},
};

const HtmlForm *FormOf(const char *name) {
    if (!name) return nullptr;
    for (const HtmlForm &f : kForms)
        if (std::strcmp(f.method, name) == 0) return &f;
    return nullptr;
}

}  // namespace

void Bi_StringHtml(RunContext *ctx, Function *fn) {
    const HtmlForm *form = FormOf(fn->name);
    if (!form) {
        JSAny_SetError(&ctx->ret, ERR_NOTIMPL);
        return;
    }
    if (form->attribute && ctx->argc == 0) {
        JSAny_SetUndefined(&ctx->ret);
        return;
    }
    ValueGuard self, value;
    if (!Str_TakeThis(ctx, &self)) return;
    if (form->attribute && !Str_Arg(ctx, 0, &value)) return;
    StrBuf buf;
    buf.AppendChar('<');
    buf.AppendStr(form->tag);
    if (form->attribute) {
        buf.AppendChar(' ');
        buf.AppendStr(form->attribute);
        buf.Append("=\"", 2);
        buf.Append(value.v.str, value.v.len);
        buf.AppendChar('"');
    }
    buf.AppendChar('>');
    buf.Append(self.v.str, self.v.len);
    buf.Append("</", 2);
    buf.AppendStr(form->tag);
    buf.AppendChar('>');
    buf.Finish(&ctx->ret);
}

}  // namespace quillon
