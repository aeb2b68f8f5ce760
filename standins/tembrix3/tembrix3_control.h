#pragma once

// Control interface of the simulated data-exchange library: for tests and the host bench
// only. The driver never calls it. Exported by name (C linkage) from the simulated
// Tembrix3 library on both builds, beside the 31 functions at their ordinals.
//
// Every status the simulated library returns (docs/tembrix3-simulator.md holds the same table):
//
// | Status | Meaning                                                        | Returned by                          |
// |--------|----------------------------------------------------------------|--------------------------------------|
// |      0 | the call did what it was asked                                 | every function                       |
// |  -2000 | a Word function met a byte tag                                 | Read/WriteTagWord, Read/WriteArrayWord |
// |  -2001 | no tag of that name (never defined, removed while inactive,    | the tag and array functions,         |
// |        | or given up after removal), or a null name                     | Activate/DeactivateTag, Sim* by name |
// |  -2002 | the function's type does not serve the tag's type              | the tag and array read/write functions |
// |  -2003 | an argument out of range: element index outside the array,     | array functions, Read/WriteTagFlags, |
// |        | count not last - first + 1, flags first/count not 1, text      | ReadTagText, SimSetValue,            |
// |        | capacity below 1, null value pointer, log position             | SimGetValue, SimGetCall              |
// |  -2004 | the tag exists but was never activated                         | reads, writes, DeactivateTag         |
// |  -2005 | the tag was deactivated while active; until ActivateTag        | reads, writes, DeactivateTag         |
// |  -2006 | array function on a scalar tag, or tag function on an array    | the tag and array read/write functions |
// |  -2007 | the tag was removed while active; the name answers -2007 until | reads, writes, DeactivateTag (which  |
// |        | DeactivateTag gives it up or SimDefineTag defines it again     | gives the name up), SimSetTagActive  |
// |  -2008 | text does not fit: ReadTagText delivers the text cut to        | ReadTagText, WriteTagText            |
// |        | capacity - 1; WriteTagText with length above 95 or below 0     |                                      |
// |        | stores nothing                                                 |                                      |
// |  -2009 | the library's data directory is not configured                 | ActivateTag                          |
// |  -2010 | a definition the store cannot hold (type outside 0..7, count   | SimDefineTag                         |
// |        | below 0 or above 65536, text or flags array, empty name, index |                                      |
// |        | range beyond 32 bits)                                          |                                      |
// |    any | whatever SimInjectStatus set for the next calls of a function  | the function injected                |
//
// Checks run in the order of the table's rows for each call: name (-2001/-2007), activity
// (-2004/-2005), shape (-2006), type (-2000/-2002), arguments (-2003), text length (-2008).
// ScanActiveTags answers 0 unless a status is injected. ActivateTag of an active tag answers 0.
// Names are compared exactly: "TANK[4]" is not the tag TANK. Single-threaded.

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
// store; when `delivered` is not null a read among them delivers that value all the same
// (into the first element of an array read). Injections for one function queue up in order;
// a count of 0 or less drops those still pending for it.
SIM_API void SimInjectStatus(int32_t ordinal, int32_t status, int32_t count, const SimValue* delivered);
// The log of calls made since the last reset or clear (the newest 4096 are kept).
// SimGetCall answers 0, or -2003 for a position outside 0 .. SimCallCount() - 1.
SIM_API int32_t SimCallCount(void);
SIM_API int32_t SimGetCall(int32_t position, SimCall* call);
SIM_API void SimClearLog(void);
// Make a tag active (as ActivateTag does, data directory or not) or deactivate it as another
// client would (active 0: an active tag then answers -2005). Not logged. Returns 0 or a status.
SIM_API int32_t SimSetTagActive(const char* name, int32_t active);
// The name of the function at an ordinal ("ReadTagWord"), or null.
SIM_API const char* SimFunctionName(int32_t ordinal);

#ifdef __cplusplus
}
#endif
