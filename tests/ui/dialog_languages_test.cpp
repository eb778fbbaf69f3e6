// The dialogs speak the interface language whole: every label, button,
// tool tip, accessible name and description of each dialog, and the standard
// buttons of dialogs and message boxes, are in the language chosen, after
// any order of switches; a greyed control tells assistive technology that it
// is disabled.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "settings/convert_settings.h"
#include "settings/settings_file.h"
#include "ui/control_texts.h"
#include "ui/dialogs.h"
#include "ui/item_dialog_texts.h"
#include "ui/item_dialogs.h"
#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/option_dialog_texts.h"
#include "ui/option_dialogs.h"
#include "ui/window_phrases.h"
#include "window_lookup.h"

using namespace geoplait;
using namespace geoplait::ui;

namespace {

constexpr int kKorean = 4;

QString Name(int language) { return QString::fromUtf8(kLanguageNames[static_cast<size_t>(language)]); }

// A text as a reader meets it: without its Alt+letter and extra blanks.
QString Plain(const QString& text) { return WithoutMnemonic(text).simplified(); }

// Every text of the tables in `language`.
QSet<QString> TableTexts(int language) {
    QSet<QString> texts;
    for (int id = 0; id < kOptionTextCount; ++id) {
        texts << Plain(QString::fromUtf8(OptionDialogText(static_cast<OptionText>(id), language)));
    }
    for (int id = 0; id < static_cast<int>(ItemText::Count); ++id) {
        texts << Plain(QString::fromUtf8(ItemDialogText(static_cast<ItemText>(id), language)));
    }
    for (int id = 0; id < kPhraseCount; ++id) texts << Plain(PhraseText(static_cast<Phrase>(id), language));
    for (int row = 0; row < kTextRowCount; ++row) {
        if (const char* text = WindowText(static_cast<TextRow>(row), language, "Km/Meter")) {
            texts << Plain(QString::fromUtf8(text));
        }
    }
    return texts;
}

// Texts of other languages that `language` says differently.
QSet<QString> ForeignTexts(int language) {
    QSet<QString> foreign;
    for (int other = 0; other < kLanguageCount; ++other) {
        if (other != language) foreign.unite(TableTexts(other));
    }
    return foreign.subtract(TableTexts(language));
}

// Texts that read the same in `language` as in English by design: the rows
// the tables give both alike, and the names of the item dialogs' presets.
QSet<QString> SharedWithEnglish(int language) {
    QSet<QString> shared = TableTexts(language).intersect(TableTexts(kEnglish));
    shared << "CsvFull" << "G-navi" << "chizroid";
    return shared;
}

// A word of Latin letters that a language with its own words would translate.
bool HasLatinWord(const QString& text) {
    static const QRegularExpression kRun(QStringLiteral("[A-Za-z0-9]+"));
    for (const QRegularExpressionMatch& run : kRun.globalMatch(text)) {
        const QString word = run.captured();
        if (word.size() >= 2 && !word.contains(QRegularExpression(QStringLiteral("[0-9]")))) return true;
    }
    return false;
}

// Letters of a script `language` does not write with.
bool HasForeignScript(const QString& text, int language) {
    for (const QChar c : text) {
        const QChar::Script script = c.script();
        const bool hangul = script == QChar::Script_Hangul;
        const bool kana = script == QChar::Script_Hiragana || script == QChar::Script_Katakana;
        const bool han = script == QChar::Script_Han;
        if (language == kEnglish && c.unicode() > 0x7E) return true;
        if (language == kJapanese && hangul) return true;
        if ((language == 2 || language == 3) && (hangul || kana)) return true;
        if (language == kKorean && (kana || han)) return true;
    }
    return false;
}

struct Shown {
    QString where;  // class, object name and what of it
    QString text;
};

// Every text the dialog or window shows or speaks, in the order of its widgets.
QList<Shown> ShownTexts(const QWidget& root) {
    QList<Shown> texts;
    const auto add = [&texts](const QWidget* w, const char* what, const QString& text) {
        if (text.trimmed().isEmpty()) return;
        texts.push_back({QStringLiteral("%1 %2 %3").arg(w->metaObject()->className(), w->objectName(), what), text});
    };
    add(&root, "title", root.windowTitle());
    for (const QWidget* w : root.findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(w)) add(w, "text", label->text());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) add(w, "text", button->text());
        if (const auto* box = qobject_cast<const QGroupBox*>(w)) add(w, "title", box->title());
        add(w, "tip", w->toolTip());
        add(w, "name", w->accessibleName());
        add(w, "description", w->accessibleDescription());
    }
    return texts;
}

// What of `texts` (shown in `language`) belongs to another language: a text
// of another language's table, letters of another script, or, against the
// same dialog in English, an English text the language has its own words for.
QStringList OtherLanguage(const QList<Shown>& texts, const QList<Shown>& english, int language) {
    QStringList found;
    const QSet<QString> foreign = ForeignTexts(language);
    const QSet<QString> shared = SharedWithEnglish(language);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString text = Plain(texts[i].text);
        const QString at = texts[i].where + ": " + texts[i].text;
        if (foreign.contains(text)) found << "another language's text, " + at;
        if (HasForeignScript(text, language)) found << "another script, " + at;
        if (language == kEnglish || i >= english.size()) continue;
        if (english[i].where != texts[i].where) {
            found << "not the English dialog's order, " + at;
            continue;
        }
        if (Plain(english[i].text) == text && HasLatinWord(text) && !shared.contains(text)) found << "English, " + at;
    }
    if (language != kEnglish && english.size() != texts.size()) found << "not as many texts as in English";
    return found;
}

Settings Defaults(int language) {
    Settings settings;
    SetDefaultSettings(settings);
    ApplyBaselineSettings(settings);
    settings.current.Language = kLanguageNames[static_cast<size_t>(language)];
    return settings;
}

using Exec = bool (*)(QWidget*, Settings&);
using Make = std::function<std::unique_ptr<QDialog>(const Settings&)>;
struct DialogCase {
    const char* name;
    Exec exec;
    Make make;
};

template <typename D>
Make Maker() {
    return [](const Settings& settings) { return std::make_unique<D>(nullptr, settings); };
}

const DialogCase kDialogs[] = {
    {"photo", ExecPhotoDialog, Maker<PhotoDialog>()},
    {"offset", ExecOffsetDialog, Maker<OffsetDialog>()},
    {"group", ExecGroupLineDialog, Maker<GroupLineDialog>()},
    {"speed", ExecSpeedRangeDialog, Maker<SpeedRangeDialog>()},
    {"input", ExecInputItemDialog, Maker<InputItemDialog>()},
    {"output", ExecOutputItemDialog, Maker<OutputItemDialog>()},
};

// The texts of the dialog in English, opened on the same settings.
QList<Shown> EnglishTwin(const DialogCase& entry, Settings settings) {
    settings.current.Language = "English";
    const std::unique_ptr<QDialog> dialog = entry.make(settings);
    return ShownTexts(*dialog);
}

QString Said(Phrase phrase, int language) { return PhraseText(phrase, language); }

// Runs `act` on the modal dialog once its loop runs.
void WhenShown(const std::function<void(QDialog&)>& act) {
    QTimer::singleShot(0, [act] { act(*qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
}

}  // namespace

class DialogLanguagesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::unique_ptr<MainWindow> Window(Settings& settings, int language) {
        settings = Defaults(language);
        settings.startDir = dir_.path().toStdString();
        settings.current.Mode = "nmea(log) -> kml";
        auto window = std::make_unique<MainWindow>(settings);
        window->show();
        return window;
    }

private slots:
    // Each dialog in each language: nothing of another language, its OK and
    // Cancel in the language too.
    void dialogSpeaksTheLanguage_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("language");
        for (const DialogCase& entry : kDialogs) {
            for (int language = 0; language < kLanguageCount; ++language) {
                QTest::addRow("%s %s", entry.name, kLanguageNames[static_cast<size_t>(language)])
                    << entry.name << language;
            }
        }
    }
    void dialogSpeaksTheLanguage() {
        QFETCH(QString, dialog);
        QFETCH(int, language);
        const DialogCase* entry = nullptr;
        for (const DialogCase& each : kDialogs) {
            if (dialog == QLatin1String(each.name)) entry = &each;
        }
        const Settings settings = Defaults(language);
        const std::unique_ptr<QDialog> shown = entry->make(settings);
        const QStringList found = OtherLanguage(ShownTexts(*shown), EnglishTwin(*entry, settings), language);
        QVERIFY2(found.isEmpty(), qPrintable(found.join("\n")));
        // Longer words do not keep it from shrinking to a small screen.
        const QSize size = shown->minimumSizeHint();
        QVERIFY2(size.width() <= 1024 && size.height() <= 720,
                 qPrintable(QString("%1x%2").arg(size.width()).arg(size.height())));
        // The item dialogs label OK and Cancel from their own table ("保存" in Japanese).
        const bool items = dialog == "input" || dialog == "output";
        auto* buttons = shown->findChild<QDialogButtonBox*>();
        QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(),
                 items ? QString::fromUtf8(ItemDialogText(ItemText::Ok, language)) : Said(Phrase::ButtonOk, language));
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(),
                 items ? QString::fromUtf8(ItemDialogText(ItemText::Cancel, language))
                       : Said(Phrase::ButtonCancel, language));
    }

    // The English dialogs keep their texts.
    void englishKeepsItsTexts() {
        const Settings settings = Defaults(kEnglish);
        const auto photo = PhotoDialog(nullptr, settings);
        QCOMPARE(photo.windowTitle(), QString("Photo Config"));
        QCOMPARE(photo.findChild<QAbstractButton*>("Photo_Label")->text(), QString(" (  Label  TimeStamp"));
        QCOMPARE(photo.findChild<QAbstractButton*>("Photo_Label")->accessibleName(), QString("Label  TimeStamp"));
        QCOMPARE(photo.findChild<QLineEdit*>("Photo_PhotoUrl_edit")->accessibleName(), QString("Photo Url"));
        const auto speed = SpeedRangeDialog(nullptr, settings);
        QCOMPARE(speed.windowTitle(), QString("Speed Range "));
        QCOMPARE(speed.findChild<QAbstractButton*>("ColorPreset_R")->text(), QString("R"));
        QCOMPARE(speed.findChild<QLineEdit*>("SpeedRangeTop")->accessibleName(), QString("Group 12 To"));
        const auto offset = OffsetDialog(nullptr, settings);
        QCOMPARE(offset.findChild<QWidget*>("OffNS_slider")->accessibleName(), QString("Latitude slider"));
        QCOMPARE(offset.findChild<QWidget*>("OffNS<<")->toolTip(), QString("-1.00 sec"));
        // In Korean the same controls, found by the same names.
        const Settings korean = Defaults(kKorean);
        const auto speedKo = SpeedRangeDialog(nullptr, korean);
        QCOMPARE(speedKo.findChild<QAbstractButton*>("ColorPreset_R")->text(), QString::fromUtf8("빨강"));
        QCOMPARE(speedKo.findChild<QLineEdit*>("SpeedRangeTop")->accessibleName(), QString::fromUtf8("그룹 12 까지"));
        const auto offsetKo = OffsetDialog(nullptr, korean);
        QCOMPARE(offsetKo.findChild<QWidget*>("OffNS<<")->toolTip(), QString::fromUtf8("-1.00 초"));
    }

    // Through all five languages in two orders: after each switch the window
    // shows what a window opened in that language shows, and each dialog it
    // opens speaks that language alone.
    void roundTripLeavesNoOtherLanguage_data() {
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("forward") << QList<int>{0, 1, 2, 3, 4, 0};
        QTest::newRow("backward") << QList<int>{4, 3, 2, 1, 0, 4};
    }
    void roundTripLeavesNoOtherLanguage() {
        QFETCH(QList<int>, order);
        QList<QList<Shown>> fresh;
        for (int language = 0; language < kLanguageCount; ++language) {
            Settings settings;
            const std::unique_ptr<MainWindow> window = Window(settings, language);
            fresh << ShownTexts(*window);
        }
        Settings settings;
        const std::unique_ptr<MainWindow> window = Window(settings, order.front());
        for (const int language : order) {
            test::ChooseText(window->findChild<QComboBox*>("language"), Name(language));
            const QList<Shown> now = ShownTexts(*window);
            QCOMPARE(now.size(), fresh[language].size());
            for (qsizetype i = 0; i < now.size(); ++i) {
                QCOMPARE(now[i].where + ": " + now[i].text, fresh[language][i].where + ": " + fresh[language][i].text);
            }
            for (const DialogCase& entry : kDialogs) {
                QStringList found;
                WhenShown([&](QDialog& shown) {
                    found = OtherLanguage(ShownTexts(shown), EnglishTwin(entry, window->settings()), language);
                    shown.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
                });
                QVERIFY(!entry.exec(window.get(), window->settings()));
                QVERIFY2(found.isEmpty(), qPrintable(Name(language) + " " + entry.name + "\n" + found.join("\n")));
            }
        }
    }

    // Message boxes: the window's questions and the notice after Esc carry
    // the language's buttons and words.
    void messageBoxesSpeakTheLanguage_data() {
        QTest::addColumn<int>("language");
        for (int language = 0; language < kLanguageCount; ++language) QTest::newRow(kLanguageNames[language]) << language;
    }
    void messageBoxesSpeakTheLanguage() {
        QFETCH(int, language);
        Settings settings;
        const std::unique_ptr<MainWindow> window = Window(settings, language);
        QStringList seen;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                QStringList buttons;
                for (QAbstractButton* button : box->buttons()) buttons << button->text();
                buttons.sort();
                seen << box->windowTitle() + ": " + box->text() + " [" + buttons.join("|") + "]";
                box->reject();
            } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        answerer.start(5);
        window->PresentQuestion("Replace?", "Check");
        window->findChild<QPushButton*>("default")->click();
        QVERIFY(!ExecSpeedRangeDialog(window.get(), window->settings()));
        QVERIFY(!ExecInputItemDialog(window.get(), window->settings()));
        QStringList okCancel{Said(Phrase::ButtonOk, language), Said(Phrase::ButtonCancel, language)};
        okCancel.sort();
        const QString both = " [" + okCancel.join("|") + "]";
        const QString ok = " [" + Said(Phrase::ButtonOk, language) + "]";
        const auto option = [language](OptionText id) { return QString::fromUtf8(OptionDialogText(id, language)); };
        QCOMPARE(seen, (QStringList{"Check: Replace?" + both,
                                    Said(Phrase::DefaultCaption, language) + ": " +
                                        Said(Phrase::DefaultQuestion, language) + both,
                                    option(OptionText::CheckCaption) + ": " + option(OptionText::CancelNotice) + ok,
                                    option(OptionText::CheckCaption) + ": " + option(OptionText::ItemsCancelNotice) + ok}));
    }

    // A greyed control takes typing but reports the disabled state, as a
    // disabled one does; its description says why, in the language.
    void greyedReportsDisabled() {
        Settings settings;
        const std::unique_ptr<MainWindow> window = Window(settings, kEnglish);
        auto* include = window->findChild<QAbstractButton*>("includeData");
        auto* dateFilter = window->findChild<QAbstractButton*>("dateFilter");
        if (include->isChecked()) include->click();
        if (dateFilter->isChecked()) dateFilter->click();
        const auto state = [&](const char* name) {
            return QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(name))->state();
        };
        for (const char* name : {"recordStart", "startDate", "startTime", "satellites"}) {
            QVERIFY2(state(name).disabled, name);
        }
        auto* start = window->findChild<QLineEdit*>("recordStart");
        QVERIFY(start->isEnabled());  // it still takes typing
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(start);
        QVERIFY(face->state().focusable);
        start->setText("12");
        QCOMPARE(face->textInterface()->text(0, face->textInterface()->characterCount()), QString("12"));
        QCOMPARE(face->role(), QAccessible::EditableText);
        test::ChooseText(window->findChild<QComboBox*>("language"), Name(kKorean));
        QCOMPARE(face->text(QAccessible::Description), Said(Phrase::NotInUse, kKorean));
        include->click();
        dateFilter->click();
        for (const char* name : {"recordStart", "startDate", "startTime", "satellites"}) {
            QVERIFY2(!state(name).disabled, name);
        }
        QCOMPARE(face->text(QAccessible::Description), QString());

        // The photo dialog's URL edit, greyed as it opens without the URL.
        Settings korean = Defaults(kKorean);
        korean.current.Photo_PhotoUrl = 0;
        korean.current.Photo_TimeAdjust = 0;
        korean.current.Photo_TimeAdjustCAL = 0;
        for (int round = 0; round < 2; ++round) {  // a second dialog gets interfaces of its own
            const PhotoDialog photo(nullptr, korean);
            auto* url = photo.findChild<QLineEdit*>("Photo_PhotoUrl_edit");
            QAccessibleInterface* urlFace = QAccessible::queryAccessibleInterface(url);
            QVERIFY(urlFace->state().disabled && url->isEnabled());
            QCOMPARE(urlFace->text(QAccessible::Description), Said(Phrase::NotInUse, kKorean));
            QCOMPARE(urlFace->text(QAccessible::Name), QString::fromUtf8("사진 URL"));
            // Disabled ones, as Qt reports them: an edit, a date picker, and a combo.
            auto* seconds = photo.findChild<QLineEdit*>("Photo_TimeAdjustSec");
            auto* date = photo.findChildren<QDateEdit*>().front();
            for (QWidget* off : std::initializer_list<QWidget*>{seconds, date}) {
                QVERIFY(!off->isEnabled() && QAccessible::queryAccessibleInterface(off)->state().disabled);
            }
            QComboBox* northSouth = photo.findChild<QComboBox*>("Photo_Default_Latitude_ns");
            northSouth->setEnabled(false);
            QVERIFY(QAccessible::queryAccessibleInterface(northSouth)->state().disabled);
        }
    }
};

QTEST_MAIN(DialogLanguagesTest)
#include "dialog_languages_test.moc"
