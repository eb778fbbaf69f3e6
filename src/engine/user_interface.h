// The one way the engine talks to the user: the window, the command line and
// the tests each implement it. The engine never ends the process.
#pragma once

#include <string>

namespace geoplait {

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // A message box with an OK button.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // A message box with OK and Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text, const std::string& caption) = 0;
    virtual void SetMessageLine(const std::string& text) = 0;
    virtual void SetStatusLine(const std::string& text) = 0;
};

}  // namespace geoplait
