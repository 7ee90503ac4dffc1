#include "EditingFixture.h"
#include "FontBoxes.h"
#include "FormatPainter.h"
#include "FormatToolbarController.h"

#include <QSignalSpy>
#include <QTest>

// A command the user gave once is taken back by one Undo, however many attributes it set.
class TestUndoSteps : public QObject
{
    Q_OBJECT

private slots:
    void eachCommandIsOneUndoStep_data();
    void eachCommandIsOneUndoStep();
    void aCommandThatChangesNothingLeavesTheNoteUnchanged();
};

void TestUndoSteps::eachCommandIsOneUndoStep_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("format painter") << "painter";
    QTest::newRow("font dialog") << "dialog";
    QTest::newRow("bullets off") << "bullets";
    QTest::newRow("font name box") << "name";
}

void TestUndoSteps::eachCommandIsOneUndoStep()
{
    QFETCH(QString, command);
    EditingFixture f;
    FormatPainter painter(f.access());
    FormatToolbarController toolbar(f.access(), &painter);
    toolbar.setButton(QStringLiteral("FPt"), f.buttons.value(QStringLiteral("FPt")));
    toolbar.setButton(QStringLiteral("Bullets"), f.buttons.value(QStringLiteral("Bullets")));
    FontBoxes fonts(f.access(), nullptr);
    f.nameBox.addItem(QStringLiteral("Mono"));
    f.sizeBox.addItems({QStringLiteral(" 5"), QStringLiteral(" 14")});
    f.sizeBox.setCurrentIndex(1);
    fonts.setBoxes(&f.nameBox, &f.sizeBox);

    RichTextBox &box = f.box(1);
    box.setText(QStringLiteral("Plain words\nBold words"));
    box.setSelStart(12);
    box.setSelLength(10);
    box.setSelBold(true);
    box.setSelUnderline(true);
    box.setSelFontSize(16);
    box.setSelColor(Qt::red);
    if (command == u"painter")
        toolbar.click(QStringLiteral("FPt")); // captures the bold red words
    if (command == u"bullets")
        box.setSelBullet(true);
    box.setSelStart(0);
    box.setSelLength(5);
    const QByteArray before = box.TextRTF();

    if (command == u"painter") {
        painter.run();
    } else if (command == u"dialog") {
        fonts.setChooser([](const FontChoice &preset) {
            FontChoice chosen = preset;
            chosen.font.setBold(true);
            chosen.font.setItalic(true);
            chosen.font.setPointSizeF(14);
            chosen.color = Qt::blue;
            return std::optional<FontChoice>(chosen);
        });
        fonts.fontDialog();
    } else if (command == u"bullets") {
        box.setSelStart(12);
        toolbar.click(QStringLiteral("Bullets"));
    } else {
        fonts.nameClicked(0);
    }

    QVERIFY(box.TextRTF() != before);
    box.undo(); // once: the whole command, and nothing from before it
    QCOMPARE(box.TextRTF(), before);
}

// Arming the painter or choosing a size with nothing selected sets only the typing format: the
// note must not count as edited.
void TestUndoSteps::aCommandThatChangesNothingLeavesTheNoteUnchanged()
{
    RichTextBox box;
    box.setText(QStringLiteral("words"));
    QSignalSpy changed(&box, &RichTextBox::Change);
    {
        const RichTextBox::UndoStep step(&box);
        box.setSelFontSize(14.0);
    }
    QCOMPARE(changed.count(), 0);
    {
        const RichTextBox::UndoStep step(&box);
        box.selectAll();
        box.setSelBold(true);
    }
    QCOMPARE(changed.count(), 1);
}

QTEST_MAIN(TestUndoSteps)
#include "tst_undosteps.moc"
