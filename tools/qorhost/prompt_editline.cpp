// The prompt with line editing and history (BSD editline).
#include <editline/readline.h>

#include <cstdlib>

#include "tools/qorhost/platform.h"

bool ReadPromptLine(const char* prompt, std::string& line) {
    char* text = readline(prompt);
    if (text == nullptr) return false;
    line = text;
    if (*text != '\0') add_history(text);
    std::free(text);
    return true;
}
