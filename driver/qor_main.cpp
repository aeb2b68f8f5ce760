#include "driver/driver_request.h"
#include "driver/handlers.h"

namespace {

// Fixed when the library is built; slots 0, 8 and 9 stay empty.
constexpr RequestHandler handlerTable[kRequestSlots] = {
    nullptr,           // 0
    SetChannelActive,  // 1
    AnswerZero,        // 2
    ActivateGate,      // 3
    AnswerOne,         // 4
    ReadGate,          // 5
    AnswerOne,         // 6
    WriteGate,         // 7
    nullptr,           // 8
    nullptr,           // 9
    AnswerOne,         // 10
    AnswerZero,        // 11
    CloseChannel,      // 12
    OpenChannel,       // 13
    IdentifyDriver,    // 14
    ConfigureChannel,  // 15
};

}  // namespace

extern "C" QOR_EXPORT int32_t QOR_WINAPI QorMain(DriverRequest* request) {
    // Unsigned, so a negative code is out of range too.
    const uint32_t code = static_cast<uint32_t>(request->code);
    if (code >= static_cast<uint32_t>(kRequestSlots)) return kRequestNotServed;
    const RequestHandler handler = handlerTable[code];
    if (handler == nullptr) return kRequestNotServed;
    return handler(request);
}
