#include <cstring>

#include "dataexchange/tembrix3.h"
#include "driver/handlers.h"
#include "gates/gate_record.h"
#include "host/host_message.h"

// Request 3: sets the gate's five activation fields, then activates the tag of its base name.
// Answers 0 whatever happens; failures reach the user as messages only.
int32_t QOR_WINAPI ActivateGate(DriverRequest* request) {
    GateRecord& gate = *static_cast<GateRecord*>(request->params);
    gate.activationOut1 = 0;
    gate.activationOut4 = 255;
    gate.activationOut5 = 16;
    gate.activationOut2 = gate.activationIn2;
    gate.activationOut3 = gate.activationIn1;

    char baseName[kWorkingCopySize];
    if (!CopyGateName(gate.name, baseName)) return 0;
    // Everything from the first "[" on is the element part; nothing in it is checked here.
    char* open = std::strchr(baseName, '[');
    if (open != nullptr) *open = '\0';

    const int32_t status = ActivateTag(baseName);
    if (status == kStatusNoDataDirectory) {
        ReportToHost("QorBVN: Set PATH to the Brevanost BIN directory");
    } else if (status != 0) {
        ReportToHost("QorBVN: Can not Activate gate %s, rc=%d", gate.name, status);
    }
    return 0;
}
