// The five languages whole: a switch from any language to any other leaves
// the window as a window opened in the new language shows it (no text of
// the one before), names every control once, and fits small screens.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/settings_file.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "window_lookup.h"

using geoplait::Settings;
using geoplait::ui::kLanguageNames;
using geoplait::ui::MainWindow;

class WindowLanguagesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    Settings settings_;
    std::unique_ptr<MainWindow> window_;

    void Start(const char* language, const char* mode = "nmea(log) -> kml") {
        window_.reset();
        settings_ = Settings{};
        settings_.startDir = dir_.path().toStdString();
        geoplait::SetDefaultSettings(settings_);
        geoplait::ApplyBaselineSettings(settings_);
        settings_.current.Language = language;
        settings_.current.Mode = mode;
        window_ = std::make_unique<MainWindow>(settings_);
        window_->show();
    }
    // Every text the window shows or speaks, in the order of its widgets.
    QStringList Texts() {
        QStringList texts;
        for (const QWidget* w : window_->findChildren<QWidget*>()) {
            QString text;
            if (const auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
            if (const auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
            if (const auto* box = qobject_cast<const QGroupBox*>(w)) text = box->title();
            texts << QString("%1|%2|%3|%4|%5")
                         .arg(w->objectName(), text, w->accessibleName(), w->accessibleDescription(), w->toolTip());
        }
        return texts;
    }

private slots:
    void cleanup() { window_.reset(); }

    // Each language after each other one shows what a window opened in it shows.
    void switchLeavesNothingBehind_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        for (int from = 0; from < geoplait::ui::kLanguageCount; ++from) {
            for (int to = 0; to < geoplait::ui::kLanguageCount; ++to) {
                if (from == to) continue;
                QTest::newRow(qPrintable(QString("%1 to %2").arg(kLanguageNames[static_cast<size_t>(from)],
                                                                 kLanguageNames[static_cast<size_t>(to)])))
                    << from << to;
            }
        }
    }
    void switchLeavesNothingBehind() {
        QFETCH(int, from);
        QFETCH(int, to);
        const char* target = kLanguageNames[static_cast<size_t>(to)];
        Start(target);
        const QStringList fresh = Texts();
        Start(kLanguageNames[static_cast<size_t>(from)]);
        const QStringList before = Texts();
        geoplait::ui::test::ChooseText(window_->findChild<QComboBox*>("language"), QString::fromUtf8(target));
        const QStringList after = Texts();
        QCOMPARE(after.size(), fresh.size());
        for (qsizetype i = 0; i < after.size(); ++i) QCOMPARE(after[i], fresh[i]);
        QVERIFY(after != before);
    }

    // No two controls the keyboard reaches share a name, in any language.
    void namesAreUnique_data() {
        QTest::addColumn<QString>("language");
        for (const char* name : kLanguageNames) QTest::newRow(name) << QString::fromUtf8(name);
    }
    void namesAreUnique() {
        QFETCH(QString, language);
        Start(language.toUtf8().constData());
        QHash<QString, QString> seen;
        for (QWidget* w : window_->findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(window_.get())) continue;
            if (qobject_cast<QComboBox*>(w->parentWidget()) != nullptr) continue;
            if (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) != nullptr) continue;
            const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            QVERIFY2(!seen.contains(name), qPrintable(name + ": " + seen.value(name) + " and " + w->objectName()));
            seen.insert(name, w->objectName());
        }
        if (language == "English") {
            QCOMPARE(window_->findChild<QWidget*>("lineDistance")->accessibleName(), QString("Distance(Meter)"));
            QCOMPARE(window_->findChild<QWidget*>("recordEnd")->accessibleName(), QString("IncludeData: End"));
            QCOMPARE(window_->findChild<QWidget*>("end")->accessibleName(), QString("End"));
            QCOMPARE(window_->findChild<QWidget*>("speed")->accessibleName(), QString("Split: Speed"));
            QCOMPARE(window_->findChild<QWidget*>("labelSpeed")->accessibleName(), QString("Label: Speed"));
        }
    }

    // The window fits a 1024x768 screen (less its panel) in every language,
    // every control inside it.
    void fitsSmallScreens_data() { namesAreUnique_data(); }
    void fitsSmallScreens() {
        QFETCH(QString, language);
        Start(language.toUtf8().constData());
        const QSize least = window_->minimumSizeHint().expandedTo(window_->minimumSize());
        QVERIFY2(least.width() <= 1024 && least.height() <= 720,
                 qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
        // The option panels scroll; everything else is in the window, whole.
        const QWidget* panels = window_->findChild<QWidget*>("panelsArea");
        for (const QSize screen : {QSize(1024, 720), QSize(1280, 680)}) {
            window_->resize(screen);
            QTest::qWait(20);
            QCOMPARE(window_->size(), screen);
            for (QWidget* w : window_->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(window_.get()) || w->objectName().isEmpty() || panels->isAncestorOf(w)) continue;
                const QRect at(w->mapTo(window_.get(), QPoint(0, 0)), w->size());
                QVERIFY2(window_->rect().contains(at), qPrintable(w->objectName()));
                QVERIFY2(w->width() >= w->minimumSizeHint().width() || w->minimumSizeHint().width() <= 0,
                         qPrintable(w->objectName()));
            }
            QVERIFY(window_->rect().contains(QRect(panels->mapTo(window_.get(), QPoint(0, 0)), panels->size())));
        }
    }
};

QTEST_MAIN(WindowLanguagesTest)
#include "window_languages_test.moc"
