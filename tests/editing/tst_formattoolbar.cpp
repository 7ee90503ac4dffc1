#include "EditingFixture.h"
#include "FormatPainter.h"
#include "FormatToolbarController.h"

#include <QTest>
#include <QTextBlock>

class TestFormatToolbar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void partlyBoldSelectionShowsReleasedAndClickChangesNothing_data();
    void partlyBoldSelectionShowsReleasedAndClickChangesNothing();
    void uniformSelectionToggles();
    void alignmentButtonsFollowTheParagraphs();
    void bulletsOnAPartlyBulletedSelectionBulletAllOfIt();
    void fontBoxesKeepTheirTextForAMixedValue();
    void syncReadsTheActiveBoxWhicheverBoxChanged();
    void painterButtonKeepsTheFocusAndFormattingButtonsReturnIt();
    void unknownKeysDoNothing();

private:
    std::unique_ptr<EditingFixture> f;
    std::unique_ptr<FormatPainter> painter;
    std::unique_ptr<FormatToolbarController> toolbar;
};

void TestFormatToolbar::init()
{
    f = std::make_unique<EditingFixture>();
    painter = std::make_unique<FormatPainter>(f->access());
    toolbar = std::make_unique<FormatToolbarController>(f->access(), painter.get());
    for (auto it = f->buttons.cbegin(); it != f->buttons.cend(); ++it)
        toolbar->setButton(it.key(), it.value());
    toolbar->setFontBoxes(&f->nameBox, &f->sizeBox);
    RichTextBox &box = f->box(1);
    box.setText(QStringLiteral("plain bold\nsecond"));
    box.selectAll();
    box.setSelFontName(QStringLiteral("Sans"));
    box.setSelFontSize(10.0);
    box.setSelStart(6);
    box.setSelLength(4);
    box.setSelBold(true);
    box.setSelFontName(QStringLiteral("Serif"));
}

void TestFormatToolbar::cleanup()
{
    toolbar.reset();
    painter.reset();
    f.reset();
}

void TestFormatToolbar::partlyBoldSelectionShowsReleasedAndClickChangesNothing_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("bold") << "Bold";
    QTest::newRow("italic") << "Italic";
    QTest::newRow("underline") << "Underline";
}

void TestFormatToolbar::partlyBoldSelectionShowsReleasedAndClickChangesNothing()
{
    QFETCH(QString, key);
    RichTextBox &box = f->box(1);
    const auto read = [&] {
        return key == u"Bold" ? box.SelBold() : key == u"Italic" ? box.SelItalic() : box.SelUnderline();
    };
    box.setSelStart(6);
    box.setSelLength(4);
    box.setSelItalic(true);
    box.setSelUnderline(true);
    box.setSelStart(0);
    box.setSelLength(10);
    toolbar->sync();
    QAction *button = f->buttons.value(key);
    QVERIFY(!button->isChecked());
    button->trigger(); // Qt toggles the checkable action before the click reaches us
    toolbar->click(key);
    QVERIFY(!button->isChecked());
    QCOMPARE(read(), std::nullopt);
    box.setSelLength(5);
    QCOMPARE(read(), std::optional<bool>(false));
}

void TestFormatToolbar::uniformSelectionToggles()
{
    RichTextBox &box = f->box(1);
    box.setSelStart(6);
    box.setSelLength(4);
    toolbar->sync();
    QVERIFY(f->pressed("Bold"));
    toolbar->click(QStringLiteral("Bold"));
    QVERIFY(!f->pressed("Bold"));
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
    toolbar->click(QStringLiteral("Italic"));
    QVERIFY(f->pressed("Italic"));
    QCOMPARE(box.SelItalic(), std::optional<bool>(true));
}

void TestFormatToolbar::alignmentButtonsFollowTheParagraphs()
{
    RichTextBox &box = f->box(1);
    box.setSelStart(12);
    toolbar->click(QStringLiteral("Center"));
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignCenter));
    toolbar->sync();
    QVERIFY(f->pressed("Center"));
    QVERIFY(!f->pressed("Align Left"));
    QVERIFY(!f->pressed("Align Right"));

    box.setSelStart(2);
    toolbar->click(QStringLiteral("Align Right"));
    box.setSelStart(0);
    box.setSelLength(13);
    toolbar->sync();
    QVERIFY(!f->pressed("Center")); // a mixed alignment releases all three, even in a group
    QVERIFY(!f->pressed("Align Left"));
    QVERIFY(!f->pressed("Align Right"));
}

void TestFormatToolbar::bulletsOnAPartlyBulletedSelectionBulletAllOfIt()
{
    RichTextBox &box = f->box(1);
    box.setSelStart(1);
    toolbar->click(QStringLiteral("Bullets"));
    QVERIFY(f->pressed("Bullets"));
    box.setSelStart(0);
    box.setSelLength(13);
    toolbar->chkBullets();
    QVERIFY(!f->pressed("Bullets"));
    toolbar->click(QStringLiteral("Bullets"));
    QCOMPARE(box.SelBullet(), std::optional<bool>(true));
    QVERIFY(f->pressed("Bullets"));
    toolbar->click(QStringLiteral("Bullets"));
    QCOMPARE(box.SelBullet(), std::optional<bool>(false));
    QVERIFY(!f->pressed("Bullets"));
    QCOMPARE(box.document()->firstBlock().blockFormat().textIndent(), 0.0);
}

void TestFormatToolbar::fontBoxesKeepTheirTextForAMixedValue()
{
    RichTextBox &box = f->box(1);
    box.setSelStart(2);
    toolbar->sync();
    QCOMPARE(f->nameBox.currentText(), QStringLiteral("Sans"));
    QCOMPARE(f->sizeBox.currentText(), QStringLiteral("10"));
    box.setSelStart(0);
    box.setSelLength(10); // two fonts of one size
    toolbar->sync();
    QCOMPARE(f->nameBox.currentText(), QStringLiteral("Sans"));
    QCOMPARE(f->sizeBox.currentText(), QStringLiteral("10"));
    box.setSelLength(3);
    box.setSelFontSize(10.5);
    toolbar->sync();
    QCOMPARE(f->sizeBox.currentText(), QStringLiteral("10.5"));
}

void TestFormatToolbar::syncReadsTheActiveBoxWhicheverBoxChanged()
{
    RichTextBox &other = f->box(2);
    other.setText(QStringLiteral("loaded"));
    other.selectAll();
    other.setSelBold(true);
    f->box(1).setSelStart(1);
    toolbar->sync();
    QVERIFY(!f->pressed("Bold"));
}

void TestFormatToolbar::painterButtonKeepsTheFocusAndFormattingButtonsReturnIt()
{
    toolbar->click(QStringLiteral("FPt"));
    QCOMPARE(f->focusRequests, 0);
    QVERIFY(f->pressed("FPt"));
    toolbar->sync();
    QVERIFY(f->pressed("FPt")); // the sync never touches the painter button
    for (const char *key : {"Bold", "Italic", "Underline", "Align Left", "Center", "Align Right"})
        toolbar->click(QString::fromLatin1(key));
    QCOMPARE(f->focusRequests, 6);
    toolbar->click(QStringLiteral("Bullets"));
    QCOMPARE(f->focusRequests, 6);
}

void TestFormatToolbar::unknownKeysDoNothing()
{
    const QString before = f->box(1).Text();
    for (const char *key : {"bold", "BOLD", "", "Painter"})
        toolbar->click(QString::fromLatin1(key));
    QCOMPARE(f->box(1).SelBold(), std::optional<bool>(true));
    QCOMPARE(f->box(1).Text(), before);
    QCOMPARE(f->focusRequests, 0);
}

QTEST_MAIN(TestFormatToolbar)
#include "tst_formattoolbar.moc"
