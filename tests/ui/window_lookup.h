// Finding and driving the main window's controls by object name, as the
// window tests do.
#pragma once

#include <QComboBox>
#include <QString>
#include <QTest>
#include <QWidget>

namespace geoplait::ui::test {

// The control named `name`; a missing one ends the test program, since every
// check after it would be about nothing.
template <typename T>
T* FindControl(QWidget* window, const QString& name) {
    T* widget = window->findChild<T*>(name);
    if (widget == nullptr) qFatal("no control %s", qPrintable(name));
    return widget;
}

// Picks `text` in the combo as a user does (the activated signal included).
inline void ChooseText(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

}  // namespace geoplait::ui::test
