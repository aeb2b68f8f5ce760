#pragma once

#include <cstddef>
#include <cstdint>

// The host's gate records. Layout is the host's and holds to the byte.

// The host's storage of a gate's value, seen four ways according to the gate's type.
union ValueCell {
    uint32_t value32;  // bytes 0-3: GateLong, GateDword
    float real;        // bytes 0-3: GateReal
    struct {
        uint8_t unused16[2];  // bytes 0-1: never touched for 16-bit types
        uint16_t value16;     // bytes 2-3: GateWord, GateShort, GateWordAlt, GateFlag
    };
    char text[80];  // GateText, NUL-terminated when shorter than the cell
};
static_assert(offsetof(ValueCell, value32) == 0, "ValueCell layout");
static_assert(offsetof(ValueCell, real) == 0, "ValueCell layout");
static_assert(offsetof(ValueCell, value16) == 2, "ValueCell layout");
static_assert(offsetof(ValueCell, text) == 0, "ValueCell layout");
static_assert(sizeof(float) == 4, "ValueCell layout");
static_assert(sizeof(ValueCell) == 80, "ValueCell layout");

// Parameter record of requests 3, 5 and 7.
struct GateRecord {
    const char* name;         // plain name or NAME[index]; never written
    int32_t activationIn1;    // copied to activationOut3 by activation
    int32_t activationIn2;    // copied to activationOut2 by activation
    int32_t type;             // GateType, compared unsigned against GateText
    int32_t activationOut1;   // 0 after activation
    int32_t activationOut2;   // activationIn2 after activation
    int32_t activationOut3;   // activationIn1 after activation
    int32_t activationOut4;   // 255 after activation
    int32_t activationOut5;   // 16 after activation
    uint8_t hostOwned[4];     // the host's; never read or written here
    ValueCell* value;         // the gate's value; not looked at by activation
    // Whatever the host keeps after value is not ours.
};
static_assert(offsetof(GateRecord, name) == 0, "GateRecord layout");
static_assert(offsetof(GateRecord, activationIn1) == 4, "GateRecord layout");
static_assert(offsetof(GateRecord, activationIn2) == 8, "GateRecord layout");
static_assert(offsetof(GateRecord, type) == 12, "GateRecord layout");
static_assert(offsetof(GateRecord, activationOut1) == 16, "GateRecord layout");
static_assert(offsetof(GateRecord, activationOut2) == 20, "GateRecord layout");
static_assert(offsetof(GateRecord, activationOut3) == 24, "GateRecord layout");
static_assert(offsetof(GateRecord, activationOut4) == 28, "GateRecord layout");
static_assert(offsetof(GateRecord, activationOut5) == 32, "GateRecord layout");
static_assert(offsetof(GateRecord, hostOwned) == 36, "GateRecord layout");
static_assert(offsetof(GateRecord, value) == 40, "GateRecord layout");
static_assert(sizeof(GateRecord) == 44, "GateRecord layout");

// The gate types. Anything else in `type`, taken unsigned, is no gate type.
enum GateType : int32_t {
    GateWord = 0,
    GateShort = 1,
    GateWordAlt = 2,  // served exactly as GateWord
    GateReal = 3,
    GateLong = 4,
    GateDword = 5,
    GateFlag = 6,
    GateText = 7,
};

// The low-order byte of a 16-bit cell value: what the byte functions exchange.
inline uint8_t LowByte(uint16_t value) { return static_cast<uint8_t>(value & 0xFFu); }

// A name, its [index] suffix included, holds at most this many characters; the working
// copy has room for them and the NUL.
constexpr size_t kGateNameLimit = 35;
constexpr size_t kWorkingCopySize = kGateNameLimit + 1;

// The element index before the scan; still this value afterwards means no index.
constexpr int32_t IndexUnset = 9999;

// An array reference taken apart: the base name in the working copy, and the index.
struct ArrayReference {
    bool split;  // false: refused and reported; the request ends with result 1
    int32_t index;
    char baseName[kWorkingCopySize];
};

// Takes NAME[index] apart. On refusal it has reported the whole name to the host.
ArrayReference SplitArrayReference(const GateRecord& gate);

// Copies the whole name into a working copy. A name too long for it is never cut (a cut
// name could address another tag): it is reported and false is answered.
bool CopyGateName(const char* name, char (&copy)[kWorkingCopySize]);

// The messages of the gate requests, as the host's users know them.
constexpr const char* kMessageIllegalIndex = "QorBVN: Illegal array index for gate %s";
constexpr const char* kMessageNameTooLong = "QorBVN: Gate name %s is longer than 35 characters";
