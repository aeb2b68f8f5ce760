// The prompt without line editing: one line from standard input.
#include <cstdio>

#include "tools/qorhost/platform.h"

bool ReadPromptLine(const char* prompt, std::string& line) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    line.clear();
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, stdin) != nullptr) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
    }
    return !line.empty();
}
