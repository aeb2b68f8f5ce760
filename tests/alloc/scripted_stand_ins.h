#pragma once

#include <cstdint>

// Stand-ins that never allocate, for the allocation test: the 31 data-exchange functions
// (defined in this program, so the driver's calls bind to them and not to the simulated
// library, which keeps its tags in standard containers), and a table of the seven
// communications operations.

// The next answers of the function at `ordinal`, in order; once they are used up it answers 0.
void ScriptLibrary(int32_t ordinal, int32_t first, int32_t second = 0);
void ResetLibraryScript();
int32_t LibraryCalls();

// Operations by their place in CommOperations: 0 CreateFileA ... 6 CloseHandle.
// Calls number `nth` (from 1) of the operation fail; 0 fails none.
void ResetCommScript();
void FailComm(int operation, int nth);
int CommCalls();  // since the last reset
void InstallScriptedComm();
void RemoveScriptedComm();
