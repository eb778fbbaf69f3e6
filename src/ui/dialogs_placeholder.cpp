// Placeholder until the dialogs land; removed at merge.
#include "ui/dialogs.h"

namespace geoplait::ui {

bool ExecInputItemDialog(QWidget*, Settings&) { return false; }
bool ExecOutputItemDialog(QWidget*, Settings&) { return false; }
bool ExecPhotoDialog(QWidget*, Settings&) { return false; }
bool ExecOffsetDialog(QWidget*, Settings&) { return false; }
bool ExecGroupLineDialog(QWidget*, Settings&) { return false; }
bool ExecSpeedRangeDialog(QWidget*, Settings&) { return false; }

}  // namespace geoplait::ui
