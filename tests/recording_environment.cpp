#include "recording_environment.h"

std::vector<std::string> RecordingEnvironment::MessagesUtf8() const {
    std::vector<std::string> out;
    out.reserve(messages_.size());
    for (const auto& m : messages_) {
        out.push_back(Runtime::Utf8FromText(m));
    }
    return out;
}
