#include "tests/support/message_recorder.h"

#include <cstdio>

#include "standins/hostrt/hostrt.h"

namespace {
void Record(void* context, int level, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    static_cast<MessageRecorder*>(context)->messages.push_back({level, format, text});
}
}  // namespace

MessageRecorder::MessageRecorder() { HostRtSetSink(Record, this); }
MessageRecorder::~MessageRecorder() { HostRtSetSink(nullptr, nullptr); }

std::vector<std::string> MessageRecorder::Texts() const {
    std::vector<std::string> texts;
    for (const HostMessage& message : messages) texts.push_back(message.text);
    return texts;
}
