// The one way the engine talks to the user: the window, the command line and
// the tests each implement it. The engine never ends the process.
#pragma once

#include <cstdint>
#include <string>

#include "base/notices.h"

namespace geoplait {

// Where a run is: the records read so far in the pass, and how far into the
// input they lie, in bytes of its size.
struct RunProgress {
    int pass = 0;             // from 1; matching photos reads the track once more
    int32_t records = 0;      // records read in this pass
    uint64_t bytesRead = 0;   // of the input, up to and with the record
    uint64_t bytesTotal = 0;  // the input's size; 0 when it is not known (a pipe)
    bool operator==(const RunProgress&) const = default;
};

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

    // Progress of a run (see RunProgress). Called on every record, from the
    // thread that runs the conversion: keep it cheap.
    virtual void ShowProgress(const RunProgress& progress) { (void)progress; }
    // True once the user asked to stop; the run then ends before its next
    // record. Called on every record, like ShowProgress.
    virtual bool CancelRequested() { return false; }
};

}  // namespace geoplait
