// The value-slot table: one library-wide array of value records, grown by
// 10 when full. A free slot holds the undeclared kind; the table and every
// value it holds are released at the last close.
#include "host/valueslots.h"

namespace quillon {

namespace {

JSAny *gSlots = nullptr;  // Arr_*
uint32_t gLength = 0;

}  // namespace

int32_t Slots_Hold(const JSAny *value) {
    uint32_t i = 0;
    while (i < gLength && gSlots[i].type != JSANY_UNDECLARED) ++i;
    if (i == gLength) {
        void *v = gSlots;
        // The table grows by exactly 10 slots at a time.
        void *fresh = Arr_Alloc(sizeof(JSAny), gLength + 10);
        if (!fresh) return -1;
        if (v) {
            std::memcpy(fresh, v, sizeof(JSAny) * gLength);
            Arr_Free(v);
        }
        gSlots = static_cast<JSAny *>(fresh);
        for (uint32_t k = gLength; k < gLength + 10; ++k) gSlots[k] = JSAny_Undeclared();
        gLength += 10;
    }
    if (value->type == JSANY_UNDECLARED) {
        gSlots[i] = JSAny_Undef();
    } else {
        JSAny_InitFrom(&gSlots[i], value);
        if (gSlots[i].type == JSANY_ERROR && value->type != JSANY_ERROR) {
            gSlots[i] = JSAny_Undeclared();
            return -1;
        }
    }
    return static_cast<int32_t>(i);
}

uint32_t Slots_Release(uint32_t index) {
    if (index >= gLength) return 2;
    JSAny old = gSlots[index];
    gSlots[index] = JSAny_Undeclared();
    JSAny_Clear(&old);
    return 0;
}

JSAny *Slots_Get(uint32_t index) { return index < gLength ? &gSlots[index] : nullptr; }

void Slots_Shutdown() {
    for (uint32_t i = 0; i < gLength; ++i) JSAny_Clear(&gSlots[i]);
    Arr_Free(gSlots);
    gSlots = nullptr;
    gLength = 0;
}

}  // namespace quillon
