// An environment for tests: a fixed today and a record of every message box.
#pragma once

#include <string>
#include <vector>

#include "services.h"

class RecordingEnvironment final : public Runtime::Environment {
public:
    explicit RecordingEnvironment(Runtime::Date today = {2003, 4, 7}) : today_(today) {}

    [[nodiscard]] Runtime::Date Today() const override { return today_; }
    void MessageBox(const Runtime::Text& text) override { messages_.push_back(text); }

    [[nodiscard]] const std::vector<Runtime::Text>& Messages() const { return messages_; }
    // The messages as UTF-8, for readable test failures.
    [[nodiscard]] std::vector<std::string> MessagesUtf8() const;
    void Clear() { messages_.clear(); }

private:
    Runtime::Date today_;
    std::vector<Runtime::Text> messages_;
};
