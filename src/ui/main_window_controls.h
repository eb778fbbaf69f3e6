// The main window's own controls: the mode and file rows at the top and the
// commands, progress and message lines at the bottom. Private to the window's
// sources.
#pragma once

#include <array>

#include "ui/main_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace geoplait::ui {

struct MainWindow::Controls {
    // Header and file rows.
    QComboBox* mode = nullptr;
    QPushButton* inputItem = nullptr;
    QPushButton* outputItem = nullptr;
    QComboBox* units = nullptr;
    QComboBox* timeDiff = nullptr;
    QComboBox* timeZone = nullptr;  // editable: a zone name, "system" or nothing
    QComboBox* language = nullptr;
    QLabel* version = nullptr;
    QPushButton* end = nullptr;
    QLineEdit* inputFile = nullptr;
    QPushButton* inputSearch = nullptr;
    QPushButton* fButton = nullptr;
    QLineEdit* outputFile = nullptr;
    QPushButton* outputSearch = nullptr;
    QPushButton* dButton = nullptr;
    QPushButton* dirButton = nullptr;
    QCheckBox* bom = nullptr;
    QCheckBox* csvHeader = nullptr;
    QComboBox* gpxType = nullptr;
    QCheckBox* tokyo = nullptr;
    QCheckBox* errorOmit = nullptr;
    // Bottom.
    QPushButton* load = nullptr;
    QPushButton* autoLoad = nullptr;
    QPushButton* save = nullptr;
    QPushButton* autoSave = nullptr;
    QPushButton* defaults = nullptr;
    std::array<QPushButton*, 3> themes{};
    QPushButton* create = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* preview = nullptr;
    // The output of the last complete run: opened, or shown in its folder.
    QPushButton* openOutput = nullptr;
    QPushButton* showFolder = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* message = nullptr;
    QLabel* status = nullptr;
};

}  // namespace geoplait::ui
