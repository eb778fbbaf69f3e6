// A user interface for tests: records every message and answers the
// OK/Cancel question with a preset answer.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/user_interface.h"

namespace geoplait::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    bool operator==(const ShownMessage&) const = default;
    // Readable in a failed expectation instead of raw bytes.
    friend void PrintTo(const ShownMessage& m, std::ostream* os) {
        *os << '"' << m.caption << ": " << m.text << '"';
    }
};

class RecordingUi : public UserInterface {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption});
    }
    bool AskOkCancel(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption});
        return answerOk;
    }
    void SetMessageLine(const std::string& text) override { messageLines.push_back(text); }
    void SetStatusLine(const std::string& text) override { statusLines.push_back(text); }

    bool answerOk = true;
    std::vector<ShownMessage> messages;
    std::vector<ShownMessage> questions;
    std::vector<std::string> messageLines;
    std::vector<std::string> statusLines;
};

}  // namespace geoplait::test
