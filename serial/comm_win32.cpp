// The seven operations are the system's own communications functions, declared here with
// their published signatures so the port code needs no system header.
#include "serial/comm_operations.h"

extern "C" {
__declspec(dllimport) PortHandle __stdcall CreateFileA(const char* fileName, uint32_t desiredAccess,
                                                       uint32_t shareMode, void* securityAttributes,
                                                       uint32_t creationDisposition,
                                                       uint32_t flagsAndAttributes,
                                                       PortHandle templateFile);
__declspec(dllimport) int32_t __stdcall GetCommState(PortHandle file, DCB* dcb);
__declspec(dllimport) int32_t __stdcall SetCommState(PortHandle file, DCB* dcb);
__declspec(dllimport) int32_t __stdcall GetCommTimeouts(PortHandle file, COMMTIMEOUTS* timeouts);
__declspec(dllimport) int32_t __stdcall SetCommTimeouts(PortHandle file, COMMTIMEOUTS* timeouts);
__declspec(dllimport) int32_t __stdcall SetupComm(PortHandle file, uint32_t inQueue, uint32_t outQueue);
__declspec(dllimport) int32_t __stdcall CloseHandle(PortHandle object);
}

// Constant: the addresses are the import stubs, resolved when the library is linked.
const CommOperations platformComm = {
    CreateFileA, GetCommState, SetCommState, GetCommTimeouts, SetCommTimeouts, SetupComm, CloseHandle,
};
