// A user interface for tests: records every notice and answers the
// OK/Cancel question with a preset answer.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/notices.h"
#include "base/user_interface.h"

namespace geoplait {

// Readable in a failed expectation instead of raw bytes.
inline void PrintTo(const NoticeText& n, std::ostream* os) {
    *os << "notice " << static_cast<int>(n.notice) << " \"" << n.caption << ": " << n.text << '"';
}

namespace test {

using Notices = std::vector<NoticeText>;

class RecordingUi : public UserInterface {
public:
    void Show(const NoticeText& notice) override { messages.push_back(notice); }
    bool Ask(const NoticeText& question) override {
        questions.push_back(question);
        return answerOk;
    }
    void SetMessageLine(const std::string& text) override { messageLines.push_back(text); }
    void SetStatusLine(const std::string& text) override { statusLines.push_back(text); }

    bool answerOk = true;
    Notices messages;
    Notices questions;
    std::vector<std::string> messageLines;
    std::vector<std::string> statusLines;
};

}  // namespace test
}  // namespace geoplait
