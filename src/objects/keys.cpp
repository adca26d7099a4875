// Property keys: deciding whether a value or a text names an array index
// (canonical decimal up to 4294967294) or a name, and making the key record
// member operations use. Non-string keys are converted once, here.
#include "objects/keys.h"

#include "objects/object.h"
#include "runtime/text.h"
#include "values/convert.h"

namespace quillon {

bool Obj_NameIndex(const char *s, uint32_t len, uint32_t *index) {
    if (len == 0 || len > 10) return false;
    if (s[0] == '0') {
        if (len != 1) return false;
        *index = 0;
        return true;
    }
    uint64_t v = 0;
    for (uint32_t i = 0; i < len; ++i) {
        unsigned d = static_cast<unsigned char>(s[i]) - '0';
        if (d > 9) return false;
        v = v * 10 + d;
    }
    if (v > 4294967294ull) return false;
    *index = static_cast<uint32_t>(v);
    return true;
}

bool Obj_ArrayIndex(const JSAny *key, uint32_t *index) {
    if (key->type == JSANY_NUMBER) {
        double d = key->num;
        if (!(d >= 0 && d < 4294967295.0)) return false;
        *index = static_cast<uint32_t>(d);
        return true;
    }
    if (JSAny_IsString(key)) return Obj_NameIndex(key->str, key->len, index);
    return false;
}

uint32_t Key_Make(const JSAny *key, Key *k) {
    k->holder = JSAny_Undef();
    k->str = nullptr;
    if (key->type == JSANY_ERROR) return key->code ? key->code : ERR_WRONGTYPE;
    if (Obj_ArrayIndex(key, &k->index)) {
        k->isIndex = true;
        return 0;
    }
    k->isIndex = false;
    if (JSAny_IsString(key)) {
        k->name = key->str;
        k->len = key->len;
        k->str = key;
    } else {
        JSAny_InitFrom(&k->holder, key);
        JSAny_ToString(nullptr, &k->holder);
        if (!JSAny_IsString(&k->holder)) {
            // A conversion that failed on its way (out of memory, a throw
            // from a method, a break) keeps its code; a key with no string
            // form at all is no name.
            uint32_t code = k->holder.type == JSANY_ERROR ? k->holder.code : 0;
            if (code == 0 || code == ERR_WRONGTYPE) code = ERR_NOPROP;
            JSAny_Clear(&k->holder);
            return code;
        }
        // A key that converts to an index text names that element, as the
        // text itself would (an object key of "7" and the key 7 meet).
        if (Obj_NameIndex(k->holder.str, k->holder.len, &k->index)) {
            JSAny_Clear(&k->holder);
            k->isIndex = true;
            return 0;
        }
        k->name = k->holder.str;
        k->len = k->holder.len;
        k->str = &k->holder;
    }
    k->hash = Str_Hash(k->name, k->len);
    return 0;
}

}  // namespace quillon
