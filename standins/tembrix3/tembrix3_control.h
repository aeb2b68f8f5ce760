#pragma once

// Control interface of the simulated data-exchange library: for tests and the host bench
// only. The driver never calls it. Exported by name (C linkage) from the simulated
// Tembrix3 library on both builds, beside the 31 functions at their ordinals.

#include <stdint.h>

#if defined(_WIN32)
#if defined(TEMBRIX3_SIM_BUILDING)
#define SIM_API __declspec(dllexport)
#else
#define SIM_API __declspec(dllimport)
#endif
#else
#define SIM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Tag types of the store.
enum SimTagType {
    SimTagByte = 0,
    SimTagWord = 1,
    SimTagShort = 2,
    SimTagDword = 3,
    SimTagLong = 4,
    SimTagDouble = 5,
    SimTagFlags = 6,
    SimTagText = 7,
};

// A value as the store keeps it: integer types in bits (low 8, 16 or 32 bits used),
// doubles in real, text in text (NUL-terminated).
struct SimValue {
    uint32_t bits;
    double real;
    char text[96];
};

// One call of one of the 31 functions, as the library received it.
struct SimCall {
    int32_t ordinal;       // 4 ActivateTag ... 40 WriteTagText
    char name[400];        // the name text passed (cut to fit, NUL-terminated)
    int32_t numbers[4];    // numeric arguments in order (count, index, index, capacity, length...)
    SimValue passed;       // the value a write handed over
    int32_t status;        // what the call returned
};

// Forget every tag, injection and logged call; the data directory counts as configured.
SIM_API void SimReset(void);
// Whether the library's data directory is configured; ActivateTag answers -2009 when not.
SIM_API void SimSetDataDirectory(int configured);
// Define a tag (not yet active). elementCount 0: a scalar; otherwise an array whose
// elements are firstIndex .. firstIndex + elementCount - 1. Returns 0 or a status.
SIM_API int32_t SimDefineTag(const char* name, int32_t type, int32_t firstIndex, int32_t elementCount);
// Remove a tag; a tag removed while active answers -2007 to reads and writes of the name.
SIM_API int32_t SimRemoveTag(const char* name);
// Store or fetch the value of a tag (index ignored for scalars). Returns 0 or a status.
SIM_API int32_t SimSetValue(const char* name, int32_t index, const SimValue* value);
SIM_API int32_t SimGetValue(const char* name, int32_t index, SimValue* value);
// The next `count` calls of the function at `ordinal` return `status` without touching the
// store; when `delivered` is not null a read among them delivers that value all the same.
SIM_API void SimInjectStatus(int32_t ordinal, int32_t status, int32_t count, const SimValue* delivered);
// The log of calls made since the last reset or clear.
SIM_API int32_t SimCallCount(void);
SIM_API int32_t SimGetCall(int32_t position, SimCall* call);
SIM_API void SimClearLog(void);
// The name of the function at an ordinal ("ReadTagWord"), or null.
SIM_API const char* SimFunctionName(int32_t ordinal);

#ifdef __cplusplus
}
#endif
