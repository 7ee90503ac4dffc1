#include "CompareMergeDialog.h"
#include "NoteHistory.h"
#include "RichTextBox.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

// Merging a second version of a note into its tab: what the dialog marks, what each choice puts
// into the tab (and Undo takes out again), and where the second version goes afterwards.
class TestCompareMerge : public QObject
{
    Q_OBJECT

    static QByteArray rtfOf(const QString &text)
    {
        RichTextBox box;
        box.setPlainText(text);
        return box.TextRTF();
    }
    static QList<int> markedParagraphs(RichTextBox *view)
    {
        QList<int> marked;
        for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().hasProperty(QTextFormat::BackgroundBrush))
                marked << b.blockNumber();
        }
        return marked;
    }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void marksTheDifferingParagraphsOnBothSides()
    {
        CompareMergeDialog dialog("Notes", rtfOf("shopping\nmilk\nbread\ncall Anna"),
                                  rtfOf("shopping\nmilk\neggs\nbread\ncall Bob"), "device ABCDEFG",
                                  QDateTime());
        QCOMPARE(dialog.mineView()->toPlainText(), "shopping\nmilk\nbread\ncall Anna");
        QCOMPARE(dialog.theirsView()->toPlainText(), "shopping\nmilk\neggs\nbread\ncall Bob");
        QCOMPARE(markedParagraphs(dialog.mineView()), QList<int>({3}));
        QCOMPARE(markedParagraphs(dialog.theirsView()), QList<int>({2, 4}));
        QVERIFY(dialog.mineView()->isReadOnly() && dialog.theirsView()->isReadOnly());
        const QString summary = dialog.findChild<QLabel *>("summary")->text();
        QVERIFY2(summary.contains("\"Notes\"") && summary.contains("device ABCDEFG") &&
                     summary.endsWith("The 2 paragraphs that differ are marked."),
                 qPrintable(summary));

        dialog.show();
        QVERIFY(QDir().mkpath(ARTIFACTS_DIR));
        QVERIFY(dialog.grab().save(ARTIFACTS_DIR "/compare-merge.png"));
    }

    // A paragraph changed on both sides is one paragraph that differs.
    void countsEachDifferingParagraphOnce_data()
    {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<QString>("told");
        QTest::newRow("one changed") << "list\nmilk"
                                     << "list\neggs"
                                     << "The paragraph that differs is marked.";
        QTest::newRow("one added") << "list"
                                   << "list\neggs"
                                   << "The paragraph that differs is marked.";
        QTest::newRow("two changed") << "milk\nbread\njam"
                                     << "milk\nrolls\nhoney"
                                     << "The 2 paragraphs that differ are marked.";
        QTest::newRow("same") << "list"
                              << "list"
                              << "The two versions of \"Notes\" hold the same text.";
    }
    void countsEachDifferingParagraphOnce()
    {
        QFETCH(QString, mine);
        QFETCH(QString, theirs);
        QFETCH(QString, told);
        CompareMergeDialog dialog("Notes", rtfOf(mine), rtfOf(theirs), "laptop", QDateTime());
        const QString summary = dialog.findChild<QLabel *>("summary")->text();
        QVERIFY2(summary.endsWith(told), qPrintable(summary));
    }

    // The panes say where their text is: what the tab holds may be what the other computer wrote.
    void namesThePanesByWhereTheirTextIs()
    {
        const QDateTime when(QDate(2026, 12, 7), QTime(13, 5));
        CompareMergeDialog dialog("Notes", rtfOf("a"), rtfOf("b"), "this computer", when);
        const QString copy = "The conflict copy saved by this computer at 2026-12-07 13:05";
        const auto *mine = dialog.findChild<QLabel *>("mineLabel");
        const auto *theirs = dialog.findChild<QLabel *>("theirsLabel");
        QVERIFY(mine && theirs);
        QCOMPARE(mine->text(), "In the tab now");
        QCOMPARE(theirs->text(), copy);
        QCOMPARE(dialog.mineView()->accessibleName(), "In the tab now");
        QCOMPARE(dialog.theirsView()->accessibleName(), copy);
    }

    void eachChoiceIsOneChangeThatUndoTakesBack_data()
    {
        QTest::addColumn<MergeChoice>("choice");
        QTest::addColumn<QString>("merged");
        QTest::newRow("Keep Mine") << MergeChoice::KeepMine << "mine\nshared";
        QTest::newRow("Keep Theirs") << MergeChoice::KeepTheirs << "theirs\nshared";
        QTest::newRow("Keep Both") << MergeChoice::KeepBoth
                                   << "mine\nshared\n-------- The other version, from laptop --------\n"
                                      "theirs\nshared";
    }
    void eachChoiceIsOneChangeThatUndoTakesBack()
    {
        QFETCH(MergeChoice, choice);
        QFETCH(QString, merged);
        RichTextBox tab;
        tab.setPlainText("mine");
        QTextCursor typing(tab.document());
        typing.movePosition(QTextCursor::End);
        typing.insertText("\nshared"); // typed: something of the user's own to undo afterwards
        const QByteArray theirs = rtfOf("theirs\nshared");

        CompareMergeDialog dialog("Notes", tab.TextRTF(), theirs, "laptop", QDateTime());
        QSignalSpy chosen(&dialog, &CompareMergeDialog::chosen);
        dialog.show();
        QTest::mouseClick(dialog.button(choice), Qt::LeftButton);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().value<MergeChoice>(), choice);
        QVERIFY(!dialog.isVisible());

        QCOMPARE(mergeIntoNote(&tab, theirs, choice, "laptop"), choice != MergeChoice::KeepMine);
        QCOMPARE(tab.toPlainText(), merged);
        if (choice == MergeChoice::KeepMine)
            return;
        tab.undo();
        QCOMPARE(tab.toPlainText(), "mine\nshared");
        tab.redo();
        QCOMPARE(tab.toPlainText(), merged);
    }

    void theSecondVersionMovesIntoTheHistory()
    {
        QTemporaryDir dir;
        const QString note = dir.filePath("notes.rtf");
        const QString copyPath = dir.filePath("notes.sync-conflict-20261207-130512-ABCDEFG.rtf");
        writeFile(copyPath, "their version");
        const ConflictCopy copy = *ConflictCopy::fromPath(copyPath);
        NoteHistory history(dir.filePath("history"));

        QVERIFY(moveIntoHistory(history, note, copy));
        QVERIFY(!QFileInfo::exists(copyPath));
        const QList<NoteHistory::Version> versions = history.versions(note);
        QCOMPARE(versions.size(), 1);
        QCOMPARE(NoteHistory::read(versions.first()), "their version");
        QCOMPARE(versions.first().when, copy.when);
    }

    void aSecondVersionTheHistoryCannotTakeStaysWhereItIs()
    {
        QTemporaryDir dir;
        const QString copyPath = dir.filePath("web (conflict laptop 2026-12-07 1305).rtf");
        writeFile(copyPath, "their version");
        writeFile(dir.filePath("history"), "a file where the history folder should be");
        NoteHistory history(dir.filePath("history"));
        QVERIFY(!moveIntoHistory(history, dir.filePath("web.rtf"), *ConflictCopy::fromPath(copyPath)));
        QVERIFY(QFileInfo::exists(copyPath));
    }
};

QTEST_MAIN(TestCompareMerge)
#include "tst_comparemerge.moc"
