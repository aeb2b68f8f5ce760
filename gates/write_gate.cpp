#include <cstring>

#include "dataexchange/tembrix3.h"
#include "driver/handlers.h"
#include "gates/gate_record.h"
#include "host/host_message.h"

// Request 7: writes the value the host put into the gate's cell to the library, as a plain
// gate or as one element of an array. Changes none of the host's records.

namespace {

// What a write answers for a type that is no gate type: nothing was written, so the host
// must not take it for a success; no message, as no library call failed.
constexpr int32_t kNoGateTypeResult = 1;

// The length of the cell's text, never looking past its 80 bytes.
int32_t TextLength(const ValueCell& cell) {
    int32_t length = 0;
    while (length < static_cast<int32_t>(sizeof cell.text) && cell.text[length] != '\0') ++length;
    return length;
}

// Status of the write, or `written` false when no library call was made.
struct WriteOutcome {
    bool written;
    int32_t status;
};

WriteOutcome WritePlainGate(const char* name, uint32_t type, ValueCell* cell) {
    switch (type) {
        case GateWord:
        case GateWordAlt: {
            int32_t status = WriteTagWord(name, cell->value16);
            if (status == kStatusWordOnByteTag) status = WriteTagByte(name, LowByte(cell->value16));
            return {true, status};
        }
        case GateShort:
            return {true, WriteTagShort(name, static_cast<int16_t>(cell->value16))};
        case GateReal:
            return {true, WriteTagDouble(name, static_cast<double>(cell->real))};
        case GateLong:
            return {true, WriteTagLong(name, static_cast<int32_t>(cell->value32))};
        case GateDword:
            return {true, WriteTagDword(name, cell->value32)};
        case GateFlag: {
            uint8_t flag = cell->value16 != 0 ? 1 : 0;
            return {true, WriteTagFlags(name, 1, &flag, 1)};
        }
        case GateText:
            return {true, WriteTagText(name, cell->text, TextLength(*cell))};
        default:
            return {false, 0};
    }
}

WriteOutcome WriteArrayElement(const char* base, int32_t index, uint32_t type, ValueCell* cell) {
    switch (type) {
        case GateWord:
        case GateWordAlt: {
            int32_t status = WriteArrayWord(base, &cell->value16, 1, index, index);
            if (status == kStatusWordOnByteTag) {
                uint8_t byte = LowByte(cell->value16);
                status = WriteArrayByte(base, &byte, 1, index, index);
            }
            return {true, status};
        }
        case GateShort:
            return {true, WriteArrayShort(base, reinterpret_cast<int16_t*>(&cell->value16), 1, index, index)};
        case GateReal: {
            double value = static_cast<double>(cell->real);
            return {true, WriteArrayDouble(base, &value, 1, index, index)};
        }
        case GateLong:
            return {true, WriteArrayLong(base, reinterpret_cast<int32_t*>(&cell->value32), 1, index, index)};
        case GateDword:
            return {true, WriteArrayDword(base, &cell->value32, 1, index, index)};
        default:
            return {false, 0};
    }
}

}  // namespace

int32_t QOR_WINAPI WriteGate(DriverRequest* request) {
    const GateRecord& gate = *static_cast<const GateRecord*>(request->params);
    const uint32_t type = static_cast<uint32_t>(gate.type);

    WriteOutcome write;
    if (std::strchr(gate.name, '[') == nullptr) {
        write = WritePlainGate(gate.name, type, gate.value);
    } else {
        const ArrayReference reference = SplitArrayReference(gate);
        if (!reference.split) return 1;
        if (type == GateFlag || type == GateText) {
            ReportToHost("QorBVN: Can not write Gate %s as array", gate.name);
            return 1;
        }
        write = WriteArrayElement(reference.baseName, reference.index, type, gate.value);
    }

    if (!write.written) return kNoGateTypeResult;
    if (write.status == 0) return 0;
    ReportToHost("QorBVN: Write to Gate %s failed (%d)", gate.name, write.status);
    return 1;
}
