#pragma once

#include <string>

// Renders code page 437 text as UTF-8, so the banner's box shows in a terminal.
std::string Cp437ToUtf8(const char* text);
