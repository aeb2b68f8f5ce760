#pragma once

#include "driver/driver_request.h"

// Every handler of the request table, by code.
int32_t SetChannelActive(DriverRequest* request);   // 1
int32_t AnswerZero(DriverRequest* request);         // 2, 11
int32_t ActivateGate(DriverRequest* request);       // 3
int32_t AnswerOne(DriverRequest* request);          // 4, 6, 10
int32_t ReadGate(DriverRequest* request);           // 5
int32_t WriteGate(DriverRequest* request);          // 7
int32_t CloseChannel(DriverRequest* request);       // 12
int32_t OpenChannel(DriverRequest* request);        // 13
int32_t IdentifyDriver(DriverRequest* request);     // 14
int32_t ConfigureChannel(DriverRequest* request);   // 15
