#pragma once

// What the bench needs from the platform: loading a module, finding the program's folder,
// the console, and reading a line at the prompt. One file per platform implements it.

#include <string>

// Opens a shared library; null with a reason when it does not load.
void* OpenModule(const std::string& path, std::string& reason);
void* FindModuleSymbol(void* module, const char* name);
void CloseModule(void* module);

// The folder the running program was started from, with a trailing separator.
std::string ProgramFolder();
bool FileExists(const std::string& path);

// Makes the console show UTF-8 as written.
void PrepareConsole();

// Reads one line at the prompt (editable, with history, where the platform offers it).
// False at the end of input.
bool ReadPromptLine(const char* prompt, std::string& line);
