// The one way the engine talks to the user: the window, the command line and
// the tests each implement it. The engine never ends the process.
#pragma once

#include <cstdint>
#include <string>

#include "base/notices.h"

namespace geoplait {

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // A message box with an OK button: a result, a problem or a warning of
    // the table in base/notices.h.
    virtual void Show(const NoticeText& notice) = 0;
    // A message box with OK and Cancel (a question of the table); true for OK.
    virtual bool Ask(const NoticeText& question) = 0;
    virtual void SetMessageLine(const std::string& text) = 0;
    virtual void SetStatusLine(const std::string& text) = 0;

    // Progress of a run: `done` records of pass `pass` (from 1; a KML output
    // reads its input once per pass) out of `total` counted in advance (0 when
    // the mode counts none; `done` may pass it). Called on every record, from
    // the thread that runs the conversion: keep it cheap.
    virtual void ShowProgress(int pass, int32_t done, int32_t total) {
        (void)pass;
        (void)done;
        (void)total;
    }
    // True once the user asked to stop; the run then ends before its next
    // record. Called on every record, like ShowProgress.
    virtual bool CancelRequested() { return false; }
};

}  // namespace geoplait
