#include "EditingFixture.h"
#include "FontBoxes.h"
#include "SettingKeys.h"
#include "SettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

class TestFontBoxes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fillingListsNamesAndSizesAndSelectsTheFirstNotesFont();
    void sizeBoxNeverAppliesItsFirstEntry_data();
    void sizeBoxNeverAppliesItsFirstEntry();
    void choosingANameAlsoAppliesTheChosenSize();
    void choosingANameAppliesTheSelectedSizeNotTheShownOne();
    void fillingAgainReplacesTheLists();
    void fontNamesDropFoundriesAndDuplicates_data();
    void fontNamesDropFoundriesAndDuplicates();
    void fontDialogKeepsUniformBoldAndIgnoresAMixedSelection();
    void fontDialogSizesStayWithinItsLimits();
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

void TestFontBoxes::choosingANameAlsoAppliesTheChosenSize()
{
    fonts->fill({QStringLiteral("Mono")}, nullptr);
    f->sizeBox.setCurrentIndex(7); // " 12"
    f->box(1).setSelLength(4);
    fonts->nameClicked(0);
    QCOMPARE(f->box(1).SelFontName(), std::optional<QString>(QStringLiteral("Mono")));
    QCOMPARE(f->box(1).SelFontSize(), std::optional<double>(12.0));
}

// The sync writes the selection's size into the size box's field; a later selection of mixed
// sizes leaves that text there. The entry the user selected is what a name choice applies.
void TestFontBoxes::choosingANameAppliesTheSelectedSizeNotTheShownOne()
{
    fonts->fill({QStringLiteral("Mono")}, nullptr);
    f->sizeBox.setCurrentIndex(7); // " 12"
    f->sizeBox.setEditText(QStringLiteral("80"));
    RichTextBox &box = f->box(1);
    box.setSelStart(0);
    box.setSelLength(4);
    box.setSelFontSize(9);
    box.setSelStart(10);
    box.setSelLength(5);
    box.setSelFontSize(30);
    box.setSelStart(0);
    box.setSelLength(15);
    fonts->nameClicked(0);
    QCOMPARE(box.SelFontName(), std::optional<QString>(QStringLiteral("Mono")));
    QCOMPARE(box.SelFontSize(), std::optional<double>(12.0));
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
