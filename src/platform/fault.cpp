// The Fault service: a constant table from error numbers to texts; an
// unknown number gives false and the caller prints the number itself.
#include "platform/fault.h"

#include <cstring>

namespace quillon {

namespace {

struct FaultRow {
    uint32_t code;
    const char *text;
};

constexpr FaultRow kFaults[] = {
    {103, "not enough memory available"},
    {114, "bad template"},
    {115, "bad number"},
    {116, "required argument missing"},
    {117, "value after keyword missing"},
    {118, "wrong number of arguments"},
    {120, "argument line invalid or too long"},
    {121, "file is not executable"},
    {202, "object is in use"},
    {203, "object already exists"},
    {204, "directory not found"},
    {205, "object not found"},
    {209, "packet request type unknown"},
    {210, "object name invalid"},
    {211, "invalid object lock"},
    {212, "object is not of required type"},
    {213, "disk not validated"},
    {214, "disk is write-protected"},
    {216, "directory not empty"},
    {218, "device (or volume) is not mounted"},
    {220, "comment is too long"},
    {221, "disk is full"},
    {222, "object is protected from deletion"},
    {223, "file is write protected"},
    {224, "file is read protected"},
    {225, "not a valid DOS disk"},
    {226, "no disk in drive"},
    {232, "no more entries in directory"},
    {233, "object is soft linked"},
    {234, "object is linked"},
    {235, "bad hunk"},
    {236, "function not implemented"},
    {240, "record not locked"},
    {241, "lock collision"},
    {242, "lock timeout"},
    {243, "unlock error"},
};

}  // namespace

bool Plat_FaultText(uint32_t code, char *buf, size_t size) {
    for (const FaultRow &row : kFaults) {
        if (row.code == code) {
            size_t n = std::strlen(row.text);
            if (n + 1 > size) return false;
            std::memcpy(buf, row.text, n + 1);
            return true;
        }
    }
    return false;
}

}  // namespace quillon
