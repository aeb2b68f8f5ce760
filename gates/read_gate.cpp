#include <cstring>

#include "dataexchange/tembrix3.h"
#include "driver/handlers.h"
#include "gates/gate_record.h"
#include "host/host_message.h"

// Request 5: lets the library scan its active tags, reads the gate (or one element of an
// array) into the host's cell, and re-activates the tag when the library says it was lost.
//
// The double, byte and flag receivers are stored into the cell even when the library fails
// without filling them, so each starts from what the cell already holds: the double from
// `real` (stored back unchanged), the byte and the flag from the low byte of `value16`
// (its high byte is cleared by the widening store).

namespace {

// How the read of the value came out: ended when the request is over with result 1.
struct ReadOutcome {
    bool ended;
    int32_t status;
};

int32_t Reported(const GateRecord& gate, int32_t status) {
    if (status != 0) ReportToHost("QorBVN: Read Gate %s failed (%d)", gate.name, status);
    return status;
}

ReadOutcome ReadPlainGate(const GateRecord& gate, ValueCell* cell, int32_t readStatus) {
    const char* name = gate.name;
    switch (static_cast<uint32_t>(gate.type)) {
        case GateWord:
        case GateWordAlt: {
            int32_t status = ReadTagWord(name, &cell->value16);
            if (status == kStatusWordOnByteTag) {
                uint8_t byte = LowByte(cell->value16);
                status = ReadTagByte(name, &byte);
                cell->value16 = byte;
            }
            return {false, Reported(gate, status)};
        }
        case GateShort:
            return {false, Reported(gate, ReadTagShort(name, reinterpret_cast<int16_t*>(&cell->value16)))};
        case GateReal: {
            double receiver = static_cast<double>(cell->real);
            const int32_t status = ReadTagDouble(name, &receiver);
            cell->real = static_cast<float>(receiver);
            return {false, Reported(gate, status)};
        }
        case GateLong:
            return {false, Reported(gate, ReadTagLong(name, reinterpret_cast<int32_t*>(&cell->value32)))};
        case GateDword:
            return {false, Reported(gate, ReadTagDword(name, &cell->value32))};
        case GateFlag: {
            uint8_t flag = LowByte(cell->value16);
            const int32_t status = Reported(gate, ReadTagFlags(name, 1, &flag, 1));
            cell->value16 = flag;
            return {false, status};
        }
        case GateText: {
            int32_t length = 0;  // the library's; not looked at
            return {false, Reported(gate, ReadTagText(name, cell->text, 80, &length))};
        }
        default:
            return {false, readStatus};  // no gate type: nothing read
    }
}

ReadOutcome ReadArrayElement(const GateRecord& gate, ValueCell* cell, int32_t readStatus) {
    const ArrayReference reference = SplitArrayReference(gate);
    if (!reference.split) return {true, 0};
    const char* base = reference.baseName;
    const int32_t index = reference.index;
    switch (static_cast<uint32_t>(gate.type)) {
        case GateWord:
        case GateWordAlt: {
            int32_t status = ReadArrayWord(base, &cell->value16, 1, index, index);
            if (status == kStatusWordOnByteTag) {
                uint8_t byte = LowByte(cell->value16);
                status = ReadArrayByte(base, &byte, 1, index, index);
                cell->value16 = byte;
            }
            return {false, Reported(gate, status)};
        }
        case GateShort:
            return {false, Reported(gate, ReadArrayShort(base, reinterpret_cast<int16_t*>(&cell->value16),
                                                         1, index, index))};
        case GateReal: {
            double receiver = static_cast<double>(cell->real);
            const int32_t status = ReadArrayDouble(base, &receiver, 1, index, index);
            cell->real = static_cast<float>(receiver);
            return {false, Reported(gate, status)};
        }
        case GateLong:
            return {false, Reported(gate, ReadArrayLong(base, reinterpret_cast<int32_t*>(&cell->value32),
                                                        1, index, index))};
        case GateDword:
            return {false, Reported(gate, ReadArrayDword(base, &cell->value32, 1, index, index))};
        case GateFlag:
        case GateText:
            ReportToHost("QorBVN: Can not Read Gate %s as array", gate.name);
            return {true, 0};
        default:
            return {false, readStatus};  // no gate type: nothing read
    }
}

}  // namespace

int32_t QOR_WINAPI ReadGate(DriverRequest* request) {
    const GateRecord& gate = *static_cast<const GateRecord*>(request->params);

    const int32_t scanStatus = ScanActiveTags();
    if (scanStatus != 0) ReportToHost("QorBVN: SacnActiveTage failed , rc=%d", scanStatus);

    const ReadOutcome read = std::strchr(gate.name, '[') != nullptr
                                 ? ReadArrayElement(gate, gate.value, scanStatus)
                                 : ReadPlainGate(gate, gate.value, scanStatus);
    if (read.ended) return 1;
    if (read.status == 0) return 0;

    if (read.status == kStatusTagDeactivated || read.status == kStatusTagRemoved) {
        // The library lost the tag: hand it back and activate it again under the whole name.
        DeactivateTag(gate.name);
        const int32_t status = ActivateTag(gate.name);
        if (status != 0) ReportToHost("QorBVN: Can not Re Activate gate %s, rc=%d", gate.name, status);
    }
    return 1;
}
