#include "host/host_message.h"

#include "host/host_err.h"

void ReportToHost(const char* format) { QOR_HOST_ERR(kMessageLevel, format); }

void ReportToHost(const char* format, const char* gateName) {
    QOR_HOST_ERR(kMessageLevel, format, gateName);
}

void ReportToHost(const char* format, int32_t status) {
    QOR_HOST_ERR(kMessageLevel, format, status);
}

void ReportToHost(const char* format, const char* gateName, int32_t status) {
    QOR_HOST_ERR(kMessageLevel, format, gateName, status);
}
