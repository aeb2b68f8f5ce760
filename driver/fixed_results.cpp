#include "driver/handlers.h"

// Requests 2, 4, 6, 10 and 11: nothing to do, a fixed answer; neither record is touched.
int32_t QOR_WINAPI AnswerZero(DriverRequest*) { return 0; }
int32_t QOR_WINAPI AnswerOne(DriverRequest*) { return 1; }
