#pragma once

#include <string>
#include <vector>

// Records what reaches the host's err while it is installed.
struct HostMessage {
    int level;
    std::string format;  // as the driver passed it
    std::string text;    // formatted
};

struct MessageRecorder {
    MessageRecorder();   // routes the host runtime's err here
    ~MessageRecorder();  // and back to the default
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<std::string> Texts() const;
    std::vector<HostMessage> messages;
};
