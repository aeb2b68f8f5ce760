#include "driver/handlers.h"

// Placeholder until the serial channel lands: served like an empty slot.
int32_t CloseChannel(DriverRequest*) { return kRequestNotServed; }
int32_t OpenChannel(DriverRequest*) { return kRequestNotServed; }
int32_t ConfigureChannel(DriverRequest*) { return kRequestNotServed; }
