// Pictures of the window for the documentation: scripts/screenshot runs the
// program with --screenshot DIR under a virtual display.
#pragma once

#include <QString>

namespace geoplait::ui {

class MainWindow;

// Saves DIR/main.png (English), DIR/main-ja.png (Japanese), one PNG of each
// option dialog that opens (a dialog that does not open is skipped), and
// DIR/preview.png, the preview pane drawing a made-up three-leg walk that it
// writes as demo.log into the current directory.
// Returns 0, or 1 when a picture could not be written.
int TakeScreenshots(MainWindow& window, const QString& dir);

}  // namespace geoplait::ui
