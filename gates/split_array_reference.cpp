#include <cstring>

#include "gates/gate_record.h"
#include "host/host_message.h"

namespace {

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a decimal number the way "%d" does: white space skipped, an optional sign, the
// longest run of digits; the first other character ends it. With no digit, `index` is left
// as it was. A number beyond the signed 32-bit range gives the nearest end of that range.
void ScanIndex(const char* text, int32_t& index) {
    while (IsScanSpace(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (*text < '0' || *text > '9') return;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;  // stays saturated for every further digit
    }
    index = static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

bool CopyGateName(const char* name, char (&copy)[kWorkingCopySize]) {
    size_t length = 0;
    while (length < kWorkingCopySize && name[length] != '\0') ++length;
    if (length > kGateNameLimit) {
        ReportToHost(kMessageNameTooLong, name);
        return false;
    }
    std::memcpy(copy, name, length + 1);
    return true;
}

ArrayReference SplitArrayReference(const GateRecord& gate) {
    ArrayReference reference{};
    reference.index = IndexUnset;
    if (!CopyGateName(gate.name, reference.baseName)) return reference;

    char* open = std::strchr(reference.baseName, '[');
    char* close = open == nullptr ? nullptr : std::strchr(open, ']');
    if (close == nullptr) {
        ReportToHost(kMessageIllegalIndex, gate.name);
        return reference;
    }
    *close = '\0';
    ScanIndex(open + 1, reference.index);
    if (reference.index == IndexUnset) {
        ReportToHost(kMessageIllegalIndex, gate.name);
        return reference;
    }
    *open = '\0';
    reference.split = true;
    return reference;
}
