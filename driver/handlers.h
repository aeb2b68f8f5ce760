#pragma once

#include "driver/driver_request.h"

// Every handler of the request table, by code; each takes the request block as QorMain does.
int32_t QOR_WINAPI SetChannelActive(DriverRequest* request);   // 1
int32_t QOR_WINAPI AnswerZero(DriverRequest* request);         // 2, 11
int32_t QOR_WINAPI ActivateGate(DriverRequest* request);       // 3
int32_t QOR_WINAPI AnswerOne(DriverRequest* request);          // 4, 6, 10
int32_t QOR_WINAPI ReadGate(DriverRequest* request);           // 5
int32_t QOR_WINAPI WriteGate(DriverRequest* request);          // 7
int32_t QOR_WINAPI CloseChannel(DriverRequest* request);       // 12
int32_t QOR_WINAPI OpenChannel(DriverRequest* request);        // 13
int32_t QOR_WINAPI IdentifyDriver(DriverRequest* request);     // 14
int32_t QOR_WINAPI ConfigureChannel(DriverRequest* request);   // 15
