#include "EditingFixture.h"
#include "FontBoxes.h"
#include "FontColourDialog.h"
#include "SettingKeys.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

class TestFontBoxes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fillingListsNamesAndSizesAndSelectsTheFirstNotesFont();
    void sizeBoxNeverAppliesItsFirstEntry_data();
    void sizeBoxNeverAppliesItsFirstEntry();
    void pickingANameKeepsTheSizes_data();
    void pickingANameKeepsTheSizes();
    void typedSizeIsAppliedOnEnterOrPutBack_data();
    void typedSizeIsAppliedOnEnterOrPutBack();
    void typedNameIsAppliedOnEnterOrPutBack_data();
    void typedNameIsAppliedOnEnterOrPutBack();
    void fillingAgainReplacesTheLists();
    void fontNamesDropFoundriesAndDuplicates_data();
    void fontNamesDropFoundriesAndDuplicates();
    void fontDialogKeepsUniformBoldAndIgnoresAMixedSelection();
    void fontDialogSizesStayWithinItsLimits();
    void fontDialogOkWithoutAChangeChangesNothing_data();
    void fontDialogOkWithoutAChangeChangesNothing();
    void fontDialogKeepsTheSizeWhenOnlyTheFamilyChanges();
    void enterAndEscapeCloseTheWholeFontDialog_data();
    void enterAndEscapeCloseTheWholeFontDialog();
    void menuTogglesLeaveMixedSelections();
    void setFontAsDefaultStoresEmptyForMixedValues();

private:
    std::unique_ptr<EditingFixture> f;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<FontBoxes> fonts;
};

void TestFontBoxes::init()
{
    f = std::make_unique<EditingFixture>();
    dir = std::make_unique<QTemporaryDir>();
    settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("q.ini")));
    fonts = std::make_unique<FontBoxes>(f->access(), settings.get());
    fonts->setBoxes(&f->nameBox, &f->sizeBox);
    RichTextBox &box = f->box(1);
    box.setText(QStringLiteral("Sans text Serif"));
    box.selectAll();
    box.setSelFontName(QStringLiteral("Sans"));
    box.setSelFontSize(11.5);
    box.setSelStart(10);
    box.setSelLength(5);
    box.setSelFontName(QStringLiteral("Serif"));
    box.setSelItalic(true);
    box.setSelStart(0);
}

void TestFontBoxes::fillingListsNamesAndSizesAndSelectsTheFirstNotesFont()
{
    fonts->fill({QStringLiteral("Serif"), QStringLiteral("  "), QStringLiteral("Sans"), QString()},
                &f->box(1));
    QCOMPARE(f->nameBox.count(), 2);
    QCOMPARE(f->sizeBox.count(), 68);
    QCOMPARE(f->sizeBox.itemText(0), QStringLiteral(" 5"));
    QCOMPARE(f->sizeBox.itemText(67), QStringLiteral(" 72"));
    QCOMPARE(f->nameBox.currentText(), QStringLiteral("Sans"));
    QCOMPARE(f->sizeBox.currentText(), QStringLiteral(" 11"));
    QCOMPARE(f->box(1).SelFontSize(), std::optional<double>(11.0)); // the typing format follows
}

void TestFontBoxes::sizeBoxNeverAppliesItsFirstEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("size");
    QTest::newRow(" 5 is ignored") << 0 << 11.5;
    QTest::newRow(" 6") << 1 << 6.0;
    QTest::newRow(" 72") << 67 << 72.0;
    QTest::newRow("no entry") << -1 << 11.5;
}

void TestFontBoxes::sizeBoxNeverAppliesItsFirstEntry()
{
    QFETCH(int, index);
    QFETCH(double, size);
    fonts->fill({}, nullptr);
    f->box(1).setSelLength(4);
    f->sizeBox.setCurrentIndex(index);
    fonts->sizeClicked(index);
    QCOMPARE(f->box(1).SelFontSize(), std::optional<double>(size));
    QCOMPARE(f->focusRequests, 1);
}

// A name picked from the list changes the name only: the sizes stay, whatever entry the size
// box last had.
void TestFontBoxes::pickingANameKeepsTheSizes_data()
{
    QTest::addColumn<int>("secondSize");
    QTest::newRow("one size") << 9;
    QTest::newRow("mixed sizes") << 30;
}

void TestFontBoxes::pickingANameKeepsTheSizes()
{
    QFETCH(int, secondSize);
    fonts->fill({QStringLiteral("Mono")}, nullptr);
    f->sizeBox.setCurrentIndex(9); // " 14"
    RichTextBox &box = f->box(1);
    box.selectAll();
    box.setSelFontSize(9);
    box.setSelStart(10);
    box.setSelLength(5);
    box.setSelFontSize(secondSize);
    box.selectAll();
    fonts->nameClicked(0);
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Mono")));
    box.setSelLength(4);
    QCOMPARE(box.SelFontSize(), std::optional<double>(9));
    box.setSelStart(10);
    box.setSelLength(5);
    QCOMPARE(box.SelFontSize(), std::optional<double>(secondSize));
}

// Typed into the size box, then Enter: any size the note can hold is applied (also 5, which the
// list's first entry never applies); anything else puts the selection's size back in the box.
void TestFontBoxes::typedSizeIsAppliedOnEnterOrPutBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("shown");
    QTest::newRow("14") << "14" << 14.0 << "14";
    QTest::newRow("half point") << "10.5" << 10.5 << "10.5";
    QTest::newRow("blanks around") << " 8 " << 8.0 << "8";
    QTest::newRow("5") << "5" << 5.0 << "5";
    QTest::newRow("largest") << "1638" << 1638.0 << "1638";
    QTest::newRow("letters") << "big" << 11.5 << "11.5";
    QTest::newRow("zero") << "0" << 11.5 << "11.5";
    QTest::newRow("negative") << "-4" << 11.5 << "11.5";
    QTest::newRow("too large") << "1639" << 11.5 << "11.5";
    QTest::newRow("empty") << "" << 11.5 << "11.5";
}

void TestFontBoxes::typedSizeIsAppliedOnEnterOrPutBack()
{
    QFETCH(QString, typed);
    QFETCH(double, size);
    QFETCH(QString, shown);
    fonts->fill({QStringLiteral("Mono")}, nullptr);
    f->sizeBox.setCurrentIndex(9); // " 14", which only a click applies
    RichTextBox &box = f->box(1);
    box.setSelLength(4);
    f->sizeBox.setEditText(typed);
    QTest::keyClick(&f->sizeBox, Qt::Key_Return);
    QCOMPARE(box.SelFontSize(), std::optional<double>(size));
    QCOMPARE(f->sizeBox.currentText(), shown);
    QCOMPARE(f->focusRequests, size == 11.5 ? 0 : 1); // a wrong entry keeps the box for a retry
}

// Typed into the name box, then Enter: a font of the list (in any case) is applied as the list
// spells it, the size staying; another name puts the selection's font back in the box.
void TestFontBoxes::typedNameIsAppliedOnEnterOrPutBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("applied");
    QTest::newRow("listed") << "Mono"
                            << "Mono" << true;
    QTest::newRow("other case") << "mono"
                                << "Mono" << true;
    QTest::newRow("not installed") << "Nonesuch"
                                   << "Sans" << false;
    QTest::newRow("empty") << ""
                           << "Sans" << false;
}

void TestFontBoxes::typedNameIsAppliedOnEnterOrPutBack()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(bool, applied);
    fonts->fill({QStringLiteral("Serif"), QStringLiteral("Sans"), QStringLiteral("Mono")}, nullptr);
    f->sizeBox.setCurrentIndex(9); // " 14"
    RichTextBox &box = f->box(1);
    box.setSelLength(4);
    f->nameBox.setEditText(typed);
    QTest::keyClick(&f->nameBox, Qt::Key_Return);
    QCOMPARE(box.SelFontName(), std::optional<QString>(name));
    QCOMPARE(box.SelFontSize(), std::optional<double>(11.5));
    QCOMPARE(f->nameBox.currentText(), name);
    QCOMPARE(f->focusRequests, applied ? 1 : 0);
}

void TestFontBoxes::fillingAgainReplacesTheLists()
{
    fonts->fill({QStringLiteral("Serif"), QStringLiteral("Sans")}, &f->box(1));
    fonts->fill({QStringLiteral("Serif"), QStringLiteral("Sans")}, &f->box(1));
    QCOMPARE(f->nameBox.count(), 2);
    QCOMPARE(f->sizeBox.count(), 68);
}

void TestFontBoxes::fontNamesDropFoundriesAndDuplicates_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("foundries") << QStringList{"Nimbus Sans [URW]", "Nimbus Sans [UKWN]", "Sans"}
                               << QStringList{"Nimbus Sans", "Sans"};
    QTest::newRow("blank names") << QStringList{" ", "", "Mono"} << QStringList{"Mono"};
    QTest::newRow("case kept apart") << QStringList{"mono", "Mono"} << QStringList{"mono", "Mono"};
    QTest::newRow("brackets inside a name stay") << QStringList{"A [b] C"} << QStringList{"A [b] C"};
}

void TestFontBoxes::fontNamesDropFoundriesAndDuplicates()
{
    QFETCH(QStringList, families);
    QFETCH(QStringList, names);
    QCOMPARE(FontBoxes::fontNames(families), names);
}

void TestFontBoxes::fontDialogKeepsUniformBoldAndIgnoresAMixedSelection()
{
    RichTextBox &box = f->box(1);
    box.setSelLength(4);
    box.setSelBold(true);
    FontChoice seen;
    fonts->setChooser([&](const FontChoice &preset) {
        seen = preset;
        FontChoice chosen = preset;
        chosen.font.setPointSizeF(14);
        return std::optional<FontChoice>(chosen);
    });
    fonts->fontDialog();
    QVERIFY(seen.font.bold());
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelFontSize(), std::optional<double>(14.0));

    box.setSelStart(5);
    box.setSelLength(10); // partly italic
    fonts->fontDialog();
    QCOMPARE(box.SelFontSize(), std::optional<double>(11.5)); // the new 14 points were not applied
    QCOMPARE(box.SelItalic(), std::nullopt);

    bool asked = false;
    fonts->setChooser([&](const FontChoice &) {
        asked = true;
        return std::optional<FontChoice>();
    });
    box.setSelLength(4);
    fonts->fontDialog();
    QVERIFY(asked);
    QCOMPARE(box.SelFontSize(), std::optional<double>(11.5)); // cancelled
}

void TestFontBoxes::fontDialogSizesStayWithinItsLimits()
{
    RichTextBox &box = f->box(1);
    box.setSelLength(4);
    box.setSelFontSize(40);
    double presetSize = 0;
    fonts->setChooser([&](const FontChoice &preset) {
        presetSize = preset.font.pointSizeF();
        FontChoice chosen = preset;
        chosen.font.setPointSizeF(3);
        return std::optional<FontChoice>(chosen);
    });
    fonts->fontDialog();
    QCOMPARE(presetSize, 20.0);
    QCOMPARE(box.SelFontSize(), std::optional<double>(6.0));
}

namespace {

// Answers the Font dialog once fontDialog() has it up: `act` sees it, then OK is pressed.
void answerFontDialog(std::function<void(FontColourDialog &)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *dialog = qobject_cast<FontColourDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        dialog->findChild<QDialogButtonBox *>(QString(), Qt::FindDirectChildrenOnly)
            ->button(QDialogButtonBox::Ok)
            ->click();
    });
    poll->start();
}

QByteArray note(const char *fonts, const char *body)
{
    return QByteArray("{\\rtf1\\ansi{\\fonttbl") + fonts + "}{\\colortbl;\\red200\\green0\\blue0;}" + body +
           "\\par}";
}

} // namespace

// The real dialog, opened on a selection and closed with OK at once: it showed the selection's
// font, and the note is exactly as it was.
void TestFontBoxes::fontDialogOkWithoutAChangeChangesNothing_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("needs"); // a family the row only makes sense with
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<double>("size");
    const char *dejaVu = "{\\f0 DejaVu Sans;}";
    QTest::newRow("plain DejaVu Sans")
        << note(dejaVu, "\\f0\\fs20 plain words") << "" << false << false << 10.0;
    QTest::newRow("bold Sans Serif") << note("{\\f0 Sans Serif;}", "\\f0\\b\\fs20 bold words") << "" << true
                                     << false << 10.0;
    QTest::newRow("half point") << note(dejaVu, "\\f0\\fs21 half a point") << "" << false << false << 10.5;
    QTest::newRow("namesakes from several foundries")
        << note("{\\f0 Nimbus Sans;}", "\\f0\\fs20 nimbus words") << "Nimbus Sans" << false << false << 10.0;
    QTest::newRow("bold italic underlined red")
        << note(dejaVu, "\\f0\\b\\i\\ul\\cf1\\fs24 styled words") << "" << true << true << 12.0;
    QTest::newRow("partly italic") << note(dejaVu, "\\f0\\fs20 plain \\i italic\\i0  plain") << "" << false
                                   << false << 10.0;
    QTest::newRow("partly bold") << note(dejaVu, "\\f0\\fs20\\b bold\\b0  plain") << "" << false << false
                                 << 10.0;
    QTest::newRow("larger than the dialog offers")
        << note(dejaVu, "\\f0\\fs80 large") << "" << false << false << FontBoxes::DialogMaxSize;
    QTest::newRow("not installed") << note("{\\f0 Nonesuch Sans;}", "\\f0\\fs20 missing font") << "" << false
                                   << false << 10.0;
}

void TestFontBoxes::fontDialogOkWithoutAChangeChangesNothing()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, needs);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(double, size);
    if (!needs.isEmpty() && !FontBoxes::fontNames(QFontDatabase::families()).contains(needs))
        QSKIP("the font is not installed");
    RichTextBox &box = f->box(1);
    box.setTextRTF(rtf);
    box.selectAll();
    const QByteArray before = box.TextRTF();
    const int undoSteps = box.document()->availableUndoSteps();
    QFont shown;
    QWidget *parent = nullptr;
    answerFontDialog([&](FontColourDialog &dialog) {
        shown = dialog.findChild<QFontDialog *>()->currentFont();
        parent = dialog.parentWidget();
    });
    fonts->fontDialog();
    QCOMPARE(box.TextRTF(), before);
    QCOMPARE(box.document()->availableUndoSteps(), undoSteps);
    QCOMPARE(shown.bold(), bold);
    QCOMPARE(shown.italic(), italic);
    QCOMPARE(shown.pointSizeF(), size);
    QCOMPARE(parent, box.window()); // in front of the window, also one kept on top
}

// The dialog can only list whole sizes; a half-point size it was opened on stays when the user
// picks another family there.
void TestFontBoxes::fontDialogKeepsTheSizeWhenOnlyTheFamilyChanges()
{
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Serif")))
        QSKIP("DejaVu Serif is not installed");
    RichTextBox &box = f->box(1);
    box.setTextRTF(note("{\\f0 DejaVu Sans;}", "\\f0\\b\\fs21 bold half point"));
    box.selectAll();
    QFont shown;
    answerFontDialog([&](FontColourDialog &dialog) {
        auto *chooser = dialog.findChild<QFontDialog *>();
        QFont serif = chooser->currentFont();
        serif.setFamily(QStringLiteral("DejaVu Serif"));
        chooser->setCurrentFont(serif);
        QTRY_COMPARE(chooser->currentFont().family(), QStringLiteral("DejaVu Serif"));
        QTRY_COMPARE(chooser->currentFont().pointSizeF(), 10.5);
        shown = chooser->currentFont();
    });
    fonts->fontDialog();
    QCOMPARE(shown.pointSizeF(), 10.5);
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
    QCOMPARE(box.SelFontSize(), std::optional<double>(10.5));
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
}

// Enter is OK and Escape Cancel wherever the focus is in the dialog, also in the chooser's lists
// (where they would close only the chooser inside it).
void TestFontBoxes::enterAndEscapeCloseTheWholeFontDialog_data()
{
    QTest::addColumn<bool>("inFamilyList");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ok");
    QTest::newRow("Enter where the dialog opens") << false << int(Qt::Key_Return) << true;
    QTest::newRow("Enter in the family list") << true << int(Qt::Key_Return) << true;
    QTest::newRow("Escape in the family list") << true << int(Qt::Key_Escape) << false;
}

void TestFontBoxes::enterAndEscapeCloseTheWholeFontDialog()
{
    QFETCH(bool, inFamilyList);
    QFETCH(int, key);
    QFETCH(bool, ok);
    FontColourDialog dialog(FontChoice{QFont(QStringLiteral("DejaVu Sans"), 10), QColor()});
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget *target = QApplication::focusWidget();
    if (inFamilyList) {
        const auto lists = dialog.findChildren<QListView *>();
        target = lists.value(0);
        QVERIFY(target);
        target->setFocus();
    }
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(accepted.count(), ok ? 1 : 0);
    QCOMPARE(rejected.count(), ok ? 0 : 1);
    QVERIFY(!dialog.isVisible());
}

void TestFontBoxes::menuTogglesLeaveMixedSelections()
{
    RichTextBox &box = f->box(1);
    box.setSelLength(15);
    fonts->toggleItalic();
    QCOMPARE(box.SelItalic(), std::nullopt);
    fonts->toggleBold();
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    fonts->toggleUnderline();
    QCOMPARE(box.SelUnderline(), std::optional<bool>(true));
    QCOMPARE(f->focusRequests, 0);
}

void TestFontBoxes::setFontAsDefaultStoresEmptyForMixedValues()
{
    RichTextBox &box = f->box(1);
    box.setSelLength(4);
    fonts->setFontAsDefault();
    QCOMPARE(settings->GetSettingValue(SettingKey::DefaultFont), QStringLiteral("Sans"));
    QCOMPARE(settings->GetSettingValue(SettingKey::DefaultFontSize), QStringLiteral("11.5"));
    box.setSelLength(15);
    fonts->setFontAsDefault();
    QCOMPARE(settings->GetSettingValue(SettingKey::DefaultFont), QString());
    QCOMPARE(settings->GetSettingValue(SettingKey::DefaultFontSize), QStringLiteral("11.5"));
}

QTEST_MAIN(TestFontBoxes)
#include "tst_fontboxes.moc"
