#include "serial/comm_operations.h"
#include "serial/serial_port.h"

int32_t ClosePort(PortHandle handle) {
    return commOperations->CloseHandle(handle) != 0 ? kPortClosed : kPortCloseRefused;
}
