// Value lists in both directions: script values written into a host's
// {tag, data} pairs (numbers into the word itself or the double it points
// at), and host pairs read into a value. Internal codes become the four
// result codes hosts see here and nowhere else.
#include "host/valuelist.h"

#include <cmath>
#include <cstring>

#include "values/progobj.h"
#include "values/space.h"
#include "values/context.h"
#include "values/convert.h"

namespace quillon {

uint32_t VL_ResultCode(uint32_t code) {
    if (code == 0) return JSRESULT_OK;
    if (code == ERR_NOMEM) return JSRESULT_NOMEMORY;
    if (Err_IsBreak(code)) return JSRESULT_BREAK;
    return JSRESULT_ERROR;
}

namespace {

uint32_t TypeTag(const JSAny *v) {
    switch (v->type) {
    case JSANY_NUMBER: return JSTAG_INTEGER;
    case JSANY_STRING:
    case JSANY_CSTRING: return JSTAG_STRING;
    case JSANY_BOOLEAN: return JSTAG_BOOLEAN;
    case JSANY_PROGOBJ: return JSTAG_HOSTOBJECT;
    case JSANY_OBJECT: return JSTAG_OBJECT;
    case JSANY_NULL: return JSTAG_NULL;
    default: return 0;
    }
}

}  // namespace

namespace {

// Writes a double into a data word: its 64 bits where the word holds them,
// else into the double the word points at.
void PutDouble(JSTagItem *item, double d) {
    if constexpr (sizeof(uintptr_t) >= sizeof(double)) {
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        item->ti_Data = static_cast<uintptr_t>(bits);
    } else if (item->ti_Data) {
        std::memcpy(reinterpret_cast<void *>(item->ti_Data), &d, sizeof d);
    }
}

double TakeDouble(uintptr_t data) {
    double d = 0;
    if constexpr (sizeof(uintptr_t) >= sizeof(double)) {
        uint64_t bits = static_cast<uint64_t>(data);
        std::memcpy(&d, &bits, sizeof d);
    } else if (data) {
        std::memcpy(&d, reinterpret_cast<const void *>(data), sizeof d);
    }
    return d;
}

// Reads one value into the pair (and, for the two-pair forms, the pair
// after it). Returns 0 or the code that stops the reading.
uint32_t ReadOne(RunContext *ctx, ProgramSpace *space, JSTagItem *item, uintptr_t tag, bool sized,
                 const JSAny *value) {
    if (tag == JSTAG_NULL) {
        if (value->type == JSANY_ERROR) return value->code;
        uint32_t t = TypeTag(value);
        if (!t) return ERR_BADARGS;
        item->ti_Data = t;
        return 0;
    }
    if (value->type == JSANY_ERROR) return value->code;
    switch (tag) {
    case JSTAG_HOSTOBJECT: {
        if (value->type != JSANY_PROGOBJ) return ERR_WRONGTYPE;
        ProgObj *p = value->prog;
        uintptr_t ud = p->owner ? p->owner->userData : 0;
        if (!space || ud != space->userData) return ERR_NOPROP;
        item[0].ti_Data = reinterpret_cast<uintptr_t>(ProgObj_Data(p));
        item[1].ti_Data = p->size;
        return 0;
    }
    case JSTAG_STRING: {
        if (!JSAny_IsString(value)) {
            // The converted text must live as long as the value: it is kept
            // in place of the value itself.
            auto *slot = const_cast<JSAny *>(value);
            JSAny copy;
            JSAny_InitFrom(&copy, slot);
            JSAny_ToString(ctx, &copy);
            if (copy.type == JSANY_ERROR) return copy.code;
            JSAny_Clear(slot);
            *slot = copy;
        }
        item[0].ti_Data = reinterpret_cast<uintptr_t>(value->str);
        if (sized) item[1].ti_Data = value->len;
        return 0;
    }
    case JSTAG_INTEGER:
    case JSTAG_FLOAT:
    case JSTAG_DOUBLE: {
        JSAny copy;
        JSAny_InitFrom(&copy, value);
        JSAny_ToNumber(ctx, &copy);
        if (copy.type == JSANY_ERROR) return copy.code;
        double d = copy.num;
        if (tag == JSTAG_INTEGER) {
            if (std::isnan(d) || std::isinf(d)) return 0;
            double t = std::trunc(d);
            int32_t i = t >= 2147483647.0 ? INT32_MAX : t <= -2147483648.0 ? INT32_MIN : static_cast<int32_t>(t);
            item->ti_Data = static_cast<uintptr_t>(static_cast<intptr_t>(i));
        } else if (tag == JSTAG_FLOAT) {
            float f = static_cast<float>(d);
            uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            item->ti_Data = bits;
        } else {
            PutDouble(item, d);
        }
        return 0;
    }
    case JSTAG_BOOLEAN: {
        int16_t b = JSAny_Truth(value) ? 1 : 0;
        item->ti_Data = static_cast<uintptr_t>(static_cast<intptr_t>(b));
        return 0;
    }
    default:
        return 0;
    }
}

}  // namespace

uint32_t VL_Read(RunContext *ctx, ProgramSpace *space, JSTagItem *list, const JSAny *values,
                 uint32_t count) {
    uint32_t pos = 0;
    for (JSTagItem *item = list; item && item->ti_Tag != JSTAG_END; ++item) {
        uintptr_t tag = item->ti_Tag;
        if (tag == JSTAG_COUNT) {
            item->ti_Data = count;
            continue;
        }
        if (tag == JSTAG_SKIP) {
            pos += static_cast<uint32_t>(item->ti_Data);
            continue;
        }
        if (tag == JSTAG_HOSTOBJECT && item[1].ti_Tag != JSTAG_SIZE) return ERR_NOPROP;
        bool known = tag == JSTAG_HOSTOBJECT || tag == JSTAG_STRING || tag == JSTAG_INTEGER ||
                     tag == JSTAG_FLOAT || tag == JSTAG_BOOLEAN || tag == JSTAG_NULL || tag == JSTAG_DOUBLE;
        if (!known) return ERR_NOPROP;
        // Two pairs read one value: a program object with its size, a
        // string with its length.
        bool sized = tag == JSTAG_HOSTOBJECT || (tag == JSTAG_STRING && item[1].ti_Tag == JSTAG_SIZE);
        // Past the last value the host's presets stay.
        if (pos < count) {
            // A conversion that fails with code 0 reads on.
            if (uint32_t code = ReadOne(ctx, space, item, tag, sized, &values[pos])) return code;
            ++pos;
        }
        if (sized) ++item;
    }
    return 0;
}

uint32_t VL_MakeValue(ProgramSpace *space, const JSTagItem *list, JSAny *out, uint32_t *err) {
    *err = 0;
    if (!list) return 0;
    const JSTagItem &item = list[0];
    switch (item.ti_Tag) {
    case JSTAG_HOSTOBJECT: {
        if (list[1].ti_Tag != JSTAG_SIZE) return 0;
        ProgObj *p = ProgObj_Create(space, reinterpret_cast<const void *>(item.ti_Data),
                                    static_cast<uint32_t>(list[1].ti_Data));
        if (!p) {
            *out = JSAny_Err(ERR_NOMEM);
            *err = ERR_NOMEM;
            return 2;
        }
        out->type = JSANY_PROGOBJ;
        out->len = 0;
        out->prog = p;
        return 2;
    }
    case JSTAG_STRING: {
        const char *text = reinterpret_cast<const char *>(item.ti_Data);
        *out = JSAny_Undef();
        if (list[1].ti_Tag == JSTAG_SIZE) {
            // Pointer and length: the bytes as they are, zeros included; no
            // pointer gives the empty string.
            uintptr_t n = text ? list[1].ti_Data : 0;
            if (n >= 0xFFFFFFF0u) *out = JSAny_Err(ERR_NOMEM);
            else JSAny_SetStringBytes(out, text, static_cast<size_t>(n));
            if (out->type == JSANY_ERROR) *err = ERR_NOMEM;
            return 2;
        }
        JSAny_SetStringCopy(out, text ? text : "");
        if (out->type == JSANY_ERROR) *err = ERR_NOMEM;
        return 1;
    }
    case JSTAG_INTEGER:
        *out = JSAny_Num(static_cast<int32_t>(static_cast<uint32_t>(item.ti_Data)));
        return 1;
    case JSTAG_FLOAT: {
        uint32_t bits = static_cast<uint32_t>(item.ti_Data);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        *out = JSAny_Num(f);
        return 1;
    }
    case JSTAG_DOUBLE:
        *out = JSAny_Num(TakeDouble(item.ti_Data));
        return 1;
    case JSTAG_BOOLEAN:
        *out = JSAny_Bool((item.ti_Data & 0xFFFF) != 0);
        return 1;
    case JSTAG_NULL:
        *out = JSAny_Null();
        return 1;
    case JSTAG_OBJECT: {
        auto *o = reinterpret_cast<Object *>(item.ti_Data);
        *out = JSAny_Undef();
        if (o) JSAny_SetObject(out, o);
        else *out = JSAny_Null();
        return 1;
    }
    default:
        return 0;
    }
}

}  // namespace quillon
