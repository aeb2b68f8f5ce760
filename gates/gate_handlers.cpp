#include "driver/handlers.h"

// Placeholder until the gate service lands: served like an empty slot.
int32_t ActivateGate(DriverRequest*) { return kRequestNotServed; }
int32_t ReadGate(DriverRequest*) { return kRequestNotServed; }
int32_t WriteGate(DriverRequest*) { return kRequestNotServed; }
