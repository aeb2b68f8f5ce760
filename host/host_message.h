#pragma once

#include <cstdint>

// One line to the host's message service, at level 32. Each format begins "QorBVN: ";
// %s is always a gate name, %d always a library status. One overload per argument shape,
// so a format can never be handed the wrong number of arguments.
constexpr int kMessageLevel = 32;

void ReportToHost(const char* format);
void ReportToHost(const char* format, const char* gateName);
void ReportToHost(const char* format, int32_t status);
void ReportToHost(const char* format, const char* gateName, int32_t status);
