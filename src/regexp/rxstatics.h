// The last-match record of a program space and the static properties of
// RegExp that serve it (input, multiline, lastMatch, $1 ...).
//
// Texts of the record that come from a match are slices of the matched
// input (short strings with state -1 pointing into the record's input), so
// recording a match costs the same whatever the lengths involved. Before the
// record lets go of an input text, slices that must outlive it get copies
// of their own.
#pragma once
#include <cstdint>

#include "regexp/regexp.h"
#include "values/jsany.h"

namespace quillon {

struct ProgramSpace;

// One match to record: the input (a string value), where the match lies,
// where its left context starts, and the captures of its groups.
struct RxFound {
    const JSAny *input;
    uint32_t start, end;
    uint32_t leftFrom;
    uint32_t groupCount;
    const RxCapture *caps;
};

// Records a match. Returns 0 or 103 (the record then still holds an
// earlier match's values).
uint32_t RxStatics_Record(ProgramSpace *space, const RxFound &m);

// The static properties: get and has answer true for the names they serve;
// put returns ERR_NOPROP for other names, else the status of the store.
bool RxStatics_Get(ProgramSpace *space, const char *name, uint32_t len, JSAny *out);
bool RxStatics_Has(const char *name, uint32_t len);
uint32_t RxStatics_Put(ProgramSpace *space, const char *name, uint32_t len, const JSAny *value);

}  // namespace quillon
