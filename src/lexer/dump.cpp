// The operand-table dump that the `dump` statement runs: one line per entry
// with its identifier or constant and its marks.
#include "lexer/lexer.h"
#include "platform/debuglog.h"
#include "platform/signals.h"
#include "quillon.h"
#include "runtime/idtable.h"
#include "runtime/memory.h"
#include "values/convert.h"

namespace quillon {

void Lex_Dump(const LexStore *store) {
    Plat_DebugWrite("Token data:\n");
    for (uint32_t i = 0; i < store->count; ++i) {
        if (Plat_SetSignal(0, 0) & JSSIGNAL_CTRL_C) break;  // the user pressed break
        const Operand &op = store->ops[i];
        Plat_DebugPrintf("<%ld>", static_cast<long>(i));
        if (op.id) {
            Plat_DebugPrintf(" = %s", Id_Name(op.id));
        } else if (!op.constant) {
            Plat_DebugWrite(" = <void>");
        } else if (op.constant->type == JSANY_UNDECLARED) {
            Plat_DebugWrite(" = <undeclared>");
        } else if (op.constant->type == JSANY_ERROR) {
            Plat_DebugWrite(" = ERROR");
        } else {
            uint32_t err = 0;
            char *text = JSAny_DisplayText(nullptr, op.constant, &err);
            Plat_DebugPrintf(" = %s", text ? text : "ERROR");
            Text_Release(text);
        }
        Plat_DebugPrintf(" marks=%ld\n", static_cast<long>(op.marks));
    }
}

}  // namespace quillon
