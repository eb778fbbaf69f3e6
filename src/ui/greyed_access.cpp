#include "ui/greyed_access.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QVariant>

namespace geoplait::ui {

namespace {

constexpr const char* kGreyed = "greyed";
// Set on a control while its standard interface is being made, so that the
// factory leaves that one call to Qt's own factories.
constexpr const char* kMakingStandard = "greyedAccessMaking";

// Qt's interface for the control with the greyed state added; everything
// else (the text, value and action interfaces included) is the standard one's.
class GreyedInterface : public QAccessibleInterface {
public:
    explicit GreyedInterface(QAccessibleInterface* standard)
        : standard_(standard), standardId_(QAccessible::uniqueId(standard)) {}

    bool isValid() const override { return standard_->isValid(); }
    QObject* object() const override { return standard_->object(); }
    QWindow* window() const override { return standard_->window(); }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        return standard_->relations(match);
    }
    QAccessibleInterface* focusChild() const override { return standard_->focusChild(); }
    QAccessibleInterface* childAt(int x, int y) const override { return standard_->childAt(x, y); }
    QAccessibleInterface* parent() const override { return standard_->parent(); }
    QAccessibleInterface* child(int index) const override { return standard_->child(index); }
    int childCount() const override { return standard_->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override { return standard_->indexOfChild(child); }
    QString text(QAccessible::Text t) const override { return standard_->text(t); }
    void setText(QAccessible::Text t, const QString& text) override { standard_->setText(t, text); }
    QRect rect() const override { return standard_->rect(); }
    QAccessible::Role role() const override { return standard_->role(); }
    QAccessible::State state() const override {
        QAccessible::State state = standard_->state();
        if (const QObject* control = object(); control != nullptr && control->property(kGreyed).toBool()) {
            state.disabled = true;
        }
        return state;
    }
    QColor foregroundColor() const override { return standard_->foregroundColor(); }
    QColor backgroundColor() const override { return standard_->backgroundColor(); }
    void* interface_cast(QAccessible::InterfaceType type) override { return standard_->interface_cast(type); }

protected:
    // The standard interface stays registered under its own id and goes
    // with this one, unless the cache deleted it first (a cache that keeps
    // every interface made for an object deletes both as the control goes,
    // and everything as the program ends). Looked up by id: asking for the
    // id of a deleted interface would register it anew.
    ~GreyedInterface() override {
        if (QAccessible::accessibleInterface(standardId_) == standard_) QAccessible::deleteAccessibleInterface(standardId_);
    }

private:
    QAccessibleInterface* standard_;
    QAccessible::Id standardId_;
};

bool CanBeGreyed(const QObject* object) {
    return qobject_cast<const QLineEdit*>(object) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(object) != nullptr ||
           qobject_cast<const QComboBox*>(object) != nullptr;
}

// Factories run newest first: this one sees every control before Qt's own.
// It asks Qt for the standard interface (which Qt's cache registers for the
// control), then returns the wrapper, which the cache registers as the
// control's newest: release builds of Qt take two interfaces for one object,
// a debug build's cache asserts that it has none yet.
QAccessibleInterface* GreyedFactory(const QString& /*className*/, QObject* object) {
    if (object == nullptr || object->property(kMakingStandard).toBool() || !CanBeGreyed(object)) return nullptr;
    object->setProperty(kMakingStandard, true);
    QAccessibleInterface* standard = QAccessible::queryAccessibleInterface(object);
    object->setProperty(kMakingStandard, QVariant());
    return standard != nullptr ? new GreyedInterface(standard) : nullptr;
}

}  // namespace

void InstallGreyedAccess() { QAccessible::installFactory(&GreyedFactory); }

bool MarkGreyed(QWidget* control, bool greyed) {
    const QVariant held = control->property(kGreyed);
    if (held.isValid() && held.toBool() == greyed) return false;
    control->setProperty(kGreyed, greyed);
    QAccessible::State changed;
    changed.disabled = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
    return true;
}

}  // namespace geoplait::ui
