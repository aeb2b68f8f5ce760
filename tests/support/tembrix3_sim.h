#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standins/tembrix3/tembrix3_control.h"

// The simulated data-exchange library's control interface, looked up by name in the loaded
// library (Tembrix3.dll / libTembrix3.so from the programs' own folder), so a test needs no
// link to it and shares the one instance the driver uses.
struct SimControl {
    decltype(&SimReset) reset;
    decltype(&SimSetDataDirectory) setDataDirectory;
    decltype(&SimDefineTag) defineTag;
    decltype(&SimRemoveTag) removeTag;
    decltype(&SimSetValue) setValue;
    decltype(&SimGetValue) getValue;
    decltype(&SimInjectStatus) injectStatus;
    decltype(&SimCallCount) callCount;
    decltype(&SimGetCall) getCall;
    decltype(&SimClearLog) clearLog;
    decltype(&SimSetTagActive) setTagActive;
    decltype(&SimFunctionName) functionName;
};

// The ordinals of the 31 functions, for injections and expectations.
enum TagOrdinal : int32_t {
    kActivateTag = 4, kDeactivateTag = 5, kScanActiveTags = 6, kReadTagFlags = 7, kWriteTagFlags = 8,
    kReadTagLong = 11, kReadTagShort = 12, kReadTagDouble = 13, kWriteTagLong = 15,
    kWriteTagShort = 16, kWriteTagDouble = 17, kReadArrayDouble = 21, kReadArrayLong = 22,
    kReadArrayShort = 23, kReadTagByte = 24, kReadTagWord = 25, kReadTagDword = 26,
    kReadArrayByte = 27, kReadArrayWord = 28, kReadArrayDword = 29, kReadTagText = 30,
    kWriteArrayLong = 31, kWriteArrayShort = 32, kWriteTagByte = 33, kWriteTagWord = 34,
    kWriteTagDword = 35, kWriteArrayByte = 36, kWriteArrayWord = 37, kWriteArrayDword = 38,
    kWriteArrayDouble = 39, kWriteTagText = 40,
};

// One scripted answer: the next call of the function returns status (and a read delivers
// value when delivers is set).
struct SimAnswer {
    int32_t ordinal;
    int32_t status;
    bool delivers;
    SimValue value;
};
SimAnswer Answer(int32_t ordinal, int32_t status);
SimAnswer Deliver(int32_t ordinal, int32_t status, const SimValue& value);
void Script(const std::vector<SimAnswer>& answers);

// The control interface; aborts the program when the library or a function is missing.
const SimControl& Sim();

SimValue SimBits(uint32_t bits);
SimValue SimReal(double real);
SimValue SimText(const char* text);

// Each logged call as one line: "ReadArrayDouble(TANK, 1, 2, 2)": the function, the name,
// its numeric arguments, and for a write the value passed ("WriteTagWord(TANK, 300)",
// "WriteTagDouble(T, 0.10000000149011612)", "WriteTagText(T, 5, \"hello\")").
std::string DescribeCall(const SimCall& call);
std::vector<std::string> LoggedCalls();
