#include "NoteSearch.h"
#include "SearchAllNotesDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextDocument>
#include <QtTest>

// Searching every shown note: what matches, how a match is shown, and the dialog that searches
// while the user types.
class TestNoteSearch : public QObject
{
    Q_OBJECT

    static QList<NoteSearch::Note> notes()
    {
        return {{1, QStringLiteral("Notes"), QStringLiteral("Call Anna\nanna's cat\nHannah")},
                {3, QStringLiteral("E-Mail Addresses"), QStringLiteral("anna@example.org")}};
    }

private slots:
    void findsMatchesInEveryNoteInOrder_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<QStringList>("found"); // note:position

        QTest::newRow("any case") << "anna" << false << false << QStringList{"1:5", "1:10", "1:22", "3:0"};
        QTest::newRow("match case") << "Anna" << true << false << QStringList{"1:5"};
        QTest::newRow("whole word") << "anna" << false << true << QStringList{"1:5", "1:10", "3:0"};
        QTest::newRow("whole word and case") << "anna" << true << true << QStringList{"1:10", "3:0"};
        QTest::newRow("nothing") << "zebra" << false << false << QStringList{};
        QTest::newRow("empty term") << "" << false << false << QStringList{};
    }
    void findsMatchesInEveryNoteInOrder()
    {
        QFETCH(QString, term);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWord);
        QFETCH(QStringList, found);
        const NoteSearch::Result result = NoteSearch::search(notes(), term, {matchCase, wholeWord});
        QStringList got;
        for (const NoteSearch::Match &m : result.matches)
            got << QStringLiteral("%1:%2").arg(m.note).arg(m.position);
        QCOMPARE(got, found);
    }

    void matchShowsItsLineShortenedAroundIt()
    {
        const QString longLine = QString(200, u'x') + QStringLiteral(" needle ") + QString(200, u'y');
        const NoteSearch::Result result =
            NoteSearch::search({{2, QStringLiteral("Web Pages"),
                                 QStringLiteral("first\n") + longLine + QStringLiteral("\nlast")}},
                               QStringLiteral("needle"), {});
        QCOMPARE(result.matches.size(), 1);
        const NoteSearch::Match m = result.matches.first();
        QCOMPARE(m.caption, QStringLiteral("Web Pages"));
        QVERIFY(m.line.size() < 140);
        QVERIFY(m.line.startsWith(QChar(0x2026)) && m.line.endsWith(QChar(0x2026)));
        QCOMPARE(m.line.mid(m.lineStart, m.length), QStringLiteral("needle"));
        QVERIFY(!m.line.contains(u'\n'));
    }

    void manyMatchesStopAtTheLimitAndACancelStopsAtOnce()
    {
        const QList<NoteSearch::Note> many{{1, QStringLiteral("Notes"), QStringLiteral("a ").repeated(5000)}};
        const NoteSearch::Result limited = NoteSearch::search(many, QStringLiteral("a"), {}, 100);
        QCOMPARE(limited.matches.size(), 100);
        QVERIFY(limited.truncated);
        const std::atomic_bool cancel{true};
        const NoteSearch::Result cancelled = NoteSearch::search(many, QStringLiteral("a"), {}, 100, &cancel);
        QVERIFY(cancelled.cancelled);
        QVERIFY(cancelled.matches.isEmpty());
    }

    void typingSearchesOncePerPauseAndEnterGoesToTheMatch()
    {
        QTextDocument notesDoc(QStringLiteral("alpha beta\ngamma beta"));
        QTextDocument webDoc(QStringLiteral("beta.example.org"));
        QList<std::tuple<int, int, int>> wentTo;
        bool noteShown = true;
        SearchAllNotesDialog::Hooks hooks;
        hooks.shownNotes = [&] {
            return QList<SearchAllNotesDialog::ShownNote>{{1, QStringLiteral("Notes"), &notesDoc},
                                                          {2, QStringLiteral("Web Pages"), &webDoc}};
        };
        hooks.goTo = [&](int note, int position, int length) {
            wentTo.append({note, position, length});
            return noteShown;
        };
        SearchAllNotesDialog dialog(hooks);
        dialog.show();
        QTest::keyClicks(dialog.searchField(), QStringLiteral("beta"));
        QTRY_COMPARE(dialog.matchList()->count(), 3);
        QCOMPARE(dialog.searchesStarted(), 1);
        QCOMPARE(dialog.matchList()->item(0)->text(), QStringLiteral("Notes: alpha beta"));
        QCOMPARE(dialog.matchList()->item(2)->text(), QStringLiteral("Web Pages: beta.example.org"));

        // Down in the field walks the list; Enter goes to the chosen match and closes the window,
        // which would otherwise cover the match.
        QTest::keyClick(dialog.searchField(), Qt::Key_Down);
        QTest::keyClick(dialog.searchField(), Qt::Key_Return);
        QCOMPARE(wentTo, (QList<std::tuple<int, int, int>>{{1, 17, 4}}));
        QVERIFY(!dialog.isVisible());

        // Enter at once after typing waits for that search and goes to its first match.
        dialog.show();
        dialog.searchField()->clear();
        QTest::keyClicks(dialog.searchField(), QStringLiteral("gamma"));
        QTest::keyClick(dialog.searchField(), Qt::Key_Return);
        QTRY_COMPARE(wentTo.size(), 2);
        QCOMPARE(wentTo.last(), (std::tuple<int, int, int>{1, 11, 5}));
        QVERIFY(!dialog.isVisible());

        // A match whose note cannot be shown leaves the window open.
        dialog.show();
        noteShown = false;
        QTest::keyClick(dialog.searchField(), Qt::Key_Return);
        QCOMPARE(wentTo.size(), 3);
        QVERIFY(dialog.isVisible());

        // A note changed meanwhile is searched as it is now.
        QTextCursor(&webDoc).insertText(QStringLiteral("BETA "));
        dialog.searchField()->setText(QStringLiteral("beta"));
        dialog.findChild<QCheckBox *>()->setChecked(true); // Match Case
        QTRY_COMPARE(dialog.matchList()->count(), 3);
        QTRY_COMPARE(dialog.matchList()->item(2)->text(), QStringLiteral("Web Pages: BETA beta.example.org"));
        QCOMPARE(dialog.matchList()->item(2)->data(Qt::UserRole + 2).toInt(), 5);
    }
};

QTEST_MAIN(TestNoteSearch)
#include "tst_notesearch.moc"
