#include "Dialogs.h"
#include "FindReplace.h"
#include "FindReplaceDialog.h"
#include "RichTextBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

class TestFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void replaceAllCountsAndResumesAfterTheInsertedText_data();
    void replaceAllCountsAndResumesAfterTheInsertedText();
    void replaceAllIsOneUndoStep();
    void replaceAllAgreesWithFindNext_data();
    void replaceAllAgreesWithFindNext();
    void replaceAllKeepsTheFormatAroundEachMatch();
    void replaceAllKeepsAPictureInTheParagraph();
    void emptySearchDoesNothing();
    void findNextPastTheLastMatchResetsToFind();
    void replaceWithoutFindReplacesTheSelectionThenLooksFurther();
    void replaceAllReportsTwoLinesAndDisablesTheButtons();
    void replaceAllWithoutMatchKeepsTheStatus();
    void readOnlyNoteShowsAnErrorBox();
    void dialogOpensInFindModeWithTheSelection();
    void findAgainGoesRoundTheNote_data();
    void findAgainGoesRoundTheNote();
    void dialogStepsAsideFromTheMatch_data();
    void dialogStepsAsideFromTheMatch();
    void matchIsDrawnSelectedWhileTheDialogHasTheKeyboard();
};

void TestFindReplace::replaceAllCountsAndResumesAfterTheInsertedText_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("with");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("result");
    QTest::newRow("a to aa") << "a a"
                             << "a"
                             << "aa" << 0 << 2 << "aa aa";
    QTest::newRow("aa to b") << "aaaa"
                             << "aa"
                             << "b" << 0 << 2 << "bb";
    QTest::newRow("whole word") << "cat concatenate cat."
                                << "cat"
                                << "dog" << 2 << 2 << "dog concatenate dog.";
    QTest::newRow("match case") << "Cat cat"
                                << "cat"
                                << "x" << 4 << 1 << "Cat x";
    QTest::newRow("any case") << "Cat cat"
                              << "cat"
                              << "x" << 0 << 2 << "x x";
    QTest::newRow("across paragraphs") << "ab\nab\nb"
                                       << "b"
                                       << "" << 0 << 3 << "a\na\n";
    QTest::newRow("whole word sees inserted text") << "--"
                                                   << "-"
                                                   << "b" << 2 << 1 << "b-";
    // Find resumes one character past a candidate it rejected as part of a longer word, and
    // Replace All replaces exactly what Find Next would step through.
    QTest::newRow("whole word after a suffix") << "a-a-"
                                               << "a-"
                                               << "b" << 2 << 0 << "a-a-";
    QTest::newRow("whole word past a rejected one") << "a--"
                                                    << "-"
                                                    << "b" << 2 << 0 << "a--";
    QTest::newRow("replacement holds a line break") << "Item one\nItem two"
                                                    << "Item"
                                                    << "\nItem" << 0 << 2 << "\nItem one\n\nItem two";
    QTest::newRow("replacement makes a new match") << "abb"
                                                   << "ab"
                                                   << "\na" << 0 << 1 << "\nab";
    QTest::newRow("replacement holds the search text") << "x x"
                                                       << "x"
                                                       << "xx" << 0 << 2 << "xx xx";
}

void TestFindReplace::replaceAllCountsAndResumesAfterTheInsertedText()
{
    QFETCH(QString, note);
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(int, options);
    QFETCH(int, count);
    QFETCH(QString, result);
    RichTextBox box;
    box.setText(note);
    QCOMPARE(FindReplace::replaceAllMatches(&box, what, with, options), count);
    QCOMPARE(box.Text(), result);
}

void TestFindReplace::replaceAllIsOneUndoStep()
{
    RichTextBox box;
    box.setText(QStringLiteral("a b a\na"));
    QCOMPARE(FindReplace::replaceAllMatches(&box, QStringLiteral("a"), QStringLiteral("xyz"), 0), 3);
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("a b a\na"));
}

void TestFindReplace::replaceAllAgreesWithFindNext_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("options");
    QTest::newRow("hyphens") << "a-- -a- --b -"
                             << "-" << 2;
    QTest::newRow("suffixes") << "a-a- a- xa-a-"
                              << "a-" << 2;
    QTest::newRow("words") << "cat concat cat,cat catcat"
                           << "cat" << 2;
    QTest::newRow("overlapping") << "aaaaa"
                                 << "aa" << 0;
    QTest::newRow("no-break space") << QStringLiteral(u"a\u00A0b a b") << "a b" << 0;
}

// Counting the matches that Find Next steps through gives Replace All's count.
void TestFindReplace::replaceAllAgreesWithFindNext()
{
    QFETCH(QString, note);
    QFETCH(QString, what);
    QFETCH(int, options);
    RichTextBox finder;
    finder.setText(note);
    int found = 0;
    for (int at = 0; finder.Find(what, at, options) >= 0; at = finder.SelStart() + finder.SelLength())
        ++found;
    RichTextBox box;
    box.setText(note);
    QCOMPARE(FindReplace::replaceAllMatches(&box, what, QStringLiteral("#"), options), found);
}

void TestFindReplace::replaceAllKeepsTheFormatAroundEachMatch()
{
    RichTextBox box;
    box.setText(QStringLiteral("plain cat and bold cat end"));
    box.setSelStart(14);
    box.setSelLength(8); // "bold cat"
    box.setSelBold(true);
    QCOMPARE(FindReplace::replaceAllMatches(&box, QStringLiteral("cat"), QStringLiteral("tiger"), 0), 2);
    QCOMPARE(box.Text(), QStringLiteral("plain tiger and bold tiger end"));
    const auto boldAt = [&box](int start, int length) {
        box.setSelStart(start);
        box.setSelLength(length);
        return box.SelBold();
    };
    QCOMPARE(boldAt(0, 16), std::optional<bool>(false)); // "plain tiger and "
    QCOMPARE(boldAt(16, 10), std::optional<bool>(true)); // "bold tiger"
    QCOMPARE(boldAt(26, 4), std::optional<bool>(false)); // " end"
}

void TestFindReplace::replaceAllKeepsAPictureInTheParagraph()
{
    RichTextBox box;
    box.setText(QStringLiteral("cat  cat"));
    QTextCursor at(box.document());
    at.setPosition(4);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("picture.png"));
    picture.setWidth(8);
    picture.setHeight(8);
    at.insertImage(picture);
    QCOMPARE(FindReplace::replaceAllMatches(&box, QStringLiteral("cat"), QStringLiteral("dog"), 0), 2);
    QCOMPARE(box.Text(), QStringLiteral(u"dog \uFFFC dog"));
    QStringList pictures;
    for (auto it = box.document()->begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            pictures << it.fragment().charFormat().toImageFormat().name();
    QCOMPARE(pictures, QStringList{QStringLiteral("picture.png")});
}

void TestFindReplace::emptySearchDoesNothing()
{
    RichTextBox box;
    box.setText(QStringLiteral("text"));
    FindReplace logic;
    logic.open(QString());
    QString error;
    QVERIFY(logic.replaceAll(&box, QString(), QStringLiteral("x"), 0, &error));
    QVERIFY(!logic.find(&box, QString(), 0));
    QCOMPARE(box.Text(), QStringLiteral("text"));
    QCOMPARE(logic.status(), QString());
    QVERIFY(logic.replaceEnabled());
}

void TestFindReplace::findNextPastTheLastMatchResetsToFind()
{
    RichTextBox box;
    box.setText(QStringLiteral("one two one"));
    FindReplace logic;
    logic.open(QString());
    QVERIFY(logic.find(&box, QStringLiteral("one"), 0));
    QCOMPARE(logic.findButtonCaption(), FindReplace::FindNextCaption);
    QVERIFY(logic.find(&box, QStringLiteral("one"), 0));
    QCOMPARE(box.SelStart(), 8);
    QVERIFY(!logic.find(&box, QStringLiteral("one"), 0));
    QCOMPARE(logic.status(), FindReplace::NotFound);
    QCOMPARE(logic.findButtonCaption(), FindReplace::FindCaption);
    QVERIFY(!logic.replaceEnabled());
    QVERIFY(logic.find(&box, QStringLiteral("one"), 0)); // starts at the top again
    QCOMPARE(box.SelStart(), 0);
    QCOMPARE(logic.findList(), QStringList({QString(), "one", "one"}));
}

void TestFindReplace::replaceWithoutFindReplacesTheSelectionThenLooksFurther()
{
    RichTextBox box;
    box.setText(QStringLiteral("xx cat cat"));
    box.setSelStart(0);
    box.setSelLength(2);
    FindReplace logic;
    logic.open(QString());
    QString error;
    QVERIFY(logic.replace(&box, QStringLiteral("cat"), QStringLiteral("dog"), 0, &error));
    QCOMPARE(box.Text(), QStringLiteral("xx cat cat")); // first press only switches the mode
    QCOMPARE(logic.replaceButtonCaption(), FindReplace::ReplaceCaption);
    QVERIFY(logic.replace(&box, QStringLiteral("cat"), QStringLiteral("dog"), 0, &error));
    QCOMPARE(box.Text(), QStringLiteral("dog cat cat"));
    QCOMPARE(box.SelStart(), 4); // the next match is selected
    QCOMPARE(logic.replaceList(), QStringList({"dog"}));
}

void TestFindReplace::replaceAllReportsTwoLinesAndDisablesTheButtons()
{
    RichTextBox box;
    box.setText(QStringLiteral("a a"));
    FindReplace logic;
    logic.open(QString());
    QString error;
    logic.replace(&box, QString(), QString(), 0, &error);
    QVERIFY(logic.replaceAll(&box, QStringLiteral("a"), QStringLiteral("aa"), 0, &error));
    QCOMPARE(logic.status(), QStringLiteral("The specified region has been searched.\r\n2 replacements have been made."));
    QCOMPARE(logic.findButtonCaption(), FindReplace::FindCaption);
    QVERIFY(!logic.replaceEnabled());
}

void TestFindReplace::replaceAllWithoutMatchKeepsTheStatus()
{
    RichTextBox box;
    box.setText(QStringLiteral("abc"));
    FindReplace logic;
    logic.open(QString());
    logic.find(&box, QStringLiteral("zzz"), 0);
    QString error;
    QVERIFY(logic.replaceAll(&box, QStringLiteral("q"), QStringLiteral("x"), 0, &error));
    QCOMPARE(logic.status(), FindReplace::NotFound);
    QVERIFY(!logic.replaceEnabled());
}

void TestFindReplace::readOnlyNoteShowsAnErrorBox()
{
    Dialogs::setNeverBlock(true);
    Dialogs::clearSeams();
    Dialogs::queueButton(QMessageBox::Ok);
    RichTextBox box;
    box.setText(QStringLiteral("a"));
    box.setReadOnly(true);
    FindReplaceDialog dialog([&box] { return &box; });
    dialog.findChild<QComboBox *>(QStringLiteral("cboFind"))->setEditText(QStringLiteral("a"));
    dialog.clickReplace();
    dialog.clickReplaceAll();
    QCOMPARE(box.Text(), QStringLiteral("a"));
    QCOMPARE(Dialogs::shown().size(), 1);
    QCOMPARE(Dialogs::shown().at(0).title, QStringLiteral("Quillbox Plus"));
}

void TestFindReplace::dialogOpensInFindModeWithTheSelection()
{
    RichTextBox box;
    box.setText(QStringLiteral("find word here"));
    box.setSelStart(5);
    box.setSelLength(4);
    FindReplaceDialog dialog([&box] { return &box; });
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!dialog.isModal());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Find and Replace..."));
    auto *cboFind = dialog.findChild<QComboBox *>(QStringLiteral("cboFind"));
    QCOMPARE(cboFind->currentText(), QStringLiteral("word"));
    QCOMPARE(cboFind->count(), 1);
    QVERIFY(dialog.findChild<QComboBox *>(QStringLiteral("cboReplace"))->isHidden());
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("cmdReplaceAll"))->isHidden());

    dialog.findChild<QCheckBox *>(QStringLiteral("chkMatchCase"))->setChecked(true);
    cboFind->setEditText(QStringLiteral("Word"));
    dialog.clickFind();
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("Label1"))->text(), FindReplace::NotFound);
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("cmdFind"))->text(), FindReplace::FindCaption);
    dialog.clickReplace();
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("cmdReplaceAll"))->isHidden());
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("cmdReplace"))->text(), FindReplace::ReplaceCaption);
    dialog.close();
    // F3 in the note looks for what the dialog last looked for, as it looked for it.
    QCOMPARE(FindReplaceDialog::lastSearch().what, QStringLiteral("Word"));
    QCOMPARE(FindReplaceDialog::lastSearch().options, int(RichTextBox::MatchCase));
}

void TestFindReplace::findAgainGoesRoundTheNote_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("found"); // -1: none, the selection stays
    const QString ones = QStringLiteral("one two one two one");
    QTest::newRow("next after the match") << ones << "one" << 0 << 0 << 3 << false << 8;
    QTest::newRow("next after the last is the first") << ones << "one" << 0 << 16 << 3 << false << 0;
    QTest::newRow("previous before the match") << ones << "one" << 0 << 16 << 3 << true << 8;
    QTest::newRow("previous before the first is the last") << ones << "one" << 0 << 0 << 3 << true << 16;
    QTest::newRow("next from the caret") << "a cat b cat"
                                         << "cat" << 0 << 5 << 0 << false << 8;
    QTest::newRow("previous from the caret") << "a cat b cat"
                                             << "cat" << 0 << 5 << 0 << true << 2;
    QTest::newRow("previous whole word") << "cat concat cat"
                                         << "cat" << 2 << 11 << 3 << true << 0;
    QTest::newRow("only match finds itself") << "Cat cat CAT"
                                             << "cat" << 4 << 4 << 3 << true << 4;
    QTest::newRow("no match") << "abc"
                              << "x" << 0 << 1 << 1 << false << -1;
}

void TestFindReplace::findAgainGoesRoundTheNote()
{
    QFETCH(QString, note);
    QFETCH(QString, what);
    QFETCH(int, options);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(bool, backward);
    QFETCH(int, found);
    RichTextBox box;
    box.setText(note);
    box.setSelStart(selStart);
    box.setSelLength(selLength);
    QCOMPARE(FindReplace::findAgain(&box, {what, options}, backward), found >= 0);
    QCOMPARE(box.SelStart(), found >= 0 ? found : selStart);
    QCOMPARE(box.SelLength(), found >= 0 ? int(what.size()) : selLength);
}

void TestFindReplace::dialogStepsAsideFromTheMatch_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("match");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("placed");
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("not over the match")
        << QRect(100, 100, 400, 200) << QRect(600, 600, 50, 20) << screen << QPoint(100, 100);
    QTest::newRow("below, the nearer side")
        << QRect(400, 400, 400, 200) << QRect(500, 420, 60, 20) << screen << QPoint(400, 448);
    QTest::newRow("above, the nearer side")
        << QRect(400, 400, 400, 200) << QRect(500, 570, 60, 20) << screen << QPoint(400, 362);
    // Below would leave the screen, above is further than beside.
    QTest::newRow("beside") << QRect(400, 600, 400, 400) << QRect(500, 610, 60, 20) << screen
                            << QPoint(568, 600);
    QTest::newRow("back onto the screen")
        << QRect(1000, 400, 400, 200) << QRect(1100, 420, 60, 20) << screen << QPoint(880, 448);
    QTest::newRow("fits nowhere") << QRect(0, 0, 480, 280) << QRect(10, 100, 480, 20) << QRect(0, 0, 500, 300)
                                  << QPoint(0, 0);
}

void TestFindReplace::dialogStepsAsideFromTheMatch()
{
    QFETCH(QRect, window);
    QFETCH(QRect, match);
    QFETCH(QRect, screen);
    QFETCH(QPoint, placed);
    const QRect result = FindReplace::placeClearOf(window, match, screen);
    QCOMPARE(result.topLeft(), placed);
    QCOMPARE(result.size(), window.size());
}

void TestFindReplace::matchIsDrawnSelectedWhileTheDialogHasTheKeyboard()
{
    RichTextBox box;
    box.setText(QStringLiteral("one two three"));
    box.resize(300, 100);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    FindReplaceDialog dialog([&box] { return &box; });
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.findChild<QComboBox *>(QStringLiteral("cboFind"))->setEditText(QStringLiteral("two"));
    dialog.clickFind();
    QCOMPARE(box.SelText(), QStringLiteral("two"));
    QVERIFY(!box.hasFocus());
    const QColor highlight = box.palette().color(QPalette::Inactive, QPalette::Highlight);
    QVERIFY(highlight != box.palette().color(QPalette::Inactive, QPalette::Base));
    const QImage drawn = box.viewport()->grab().toImage();
    QTextCursor start = box.textCursor();
    start.setPosition(start.selectionStart());
    const QRect match = box.cursorRect(start).united(box.cursorRect(box.textCursor()));
    int highlighted = 0;
    for (int y = match.top(); y <= match.bottom(); ++y)
        for (int x = match.left(); x <= match.right(); ++x)
            highlighted += drawn.pixelColor(drawn.devicePixelRatio() * QPoint(x, y)) == highlight ? 1 : 0;
    QVERIFY2(highlighted > match.width() * match.height() / 3, qPrintable(QString::number(highlighted)));
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
