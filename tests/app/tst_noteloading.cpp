#include "NoteTab.h"
#include "RtfWriter.h"
#include "WindowFixture.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// A note of some megabytes: many paragraphs of formatted words.
QByteArray bigNote()
{
    QByteArray body;
    for (int i = 0; body.size() < 3 * 1024 * 1024; ++i)
        body +=
            "\\b paragraph\\b0  " + QByteArray::number(i) + " of a big note with \\i some\\i0  words\\par\n";
    return WindowFixture::rtf(body);
}

QLabel *loadingLabel(Quillbox &window, int n)
{
    return window.findChild<QLabel *>(QStringLiteral("Loading%1").arg(n));
}

} // namespace

class TestNoteLoading : public QObject
{
    Q_OBJECT

private slots:
    void bigNoteInViewComesInAfterTheWindowShows();
    void everydayNoteInViewIsThereWhenTheWindowShows();
    void otherNotesAreReadOnceTheWindowIsPainted_data();
    void otherNotesAreReadOnceTheWindowIsPainted();
    void nothingWritesOrEditsANoteStillBeingRead();
    void aCommandOnANoteStillBeingReadWaitsForIt();
    void spellCheckingWaitsForNoNoteAndFollowsEachIn();
};

void TestNoteLoading::bigNoteInViewComesInAfterTheWindowShows()
{
    WindowFixture f;
    f.quietSettings();
    WindowFixture::writeFile(f.noteDir() + QStringLiteral("/notes.rtf"), bigNote());
    WindowFixture::writeFile(f.noteDir() + QStringLiteral("/web.rtf"), WindowFixture::rtf("web pages"));
    QVERIFY(f.start());
    f.window->showAsStarted();
    QVERIFY(!f.window->isNoteLoaded(1));
    QVERIFY(loadingLabel(*f.window, 1)->isVisible());
    QCOMPARE(loadingLabel(*f.window, 1)->text(), QStringLiteral("Loading…"));

    QTRY_VERIFY_WITH_TIMEOUT(f.window->isNoteLoaded(1) && f.window->isNoteLoaded(2), 60000);
    QVERIFY(!loadingLabel(*f.window, 1)->isVisible());
    RichTextBox *box = f.window->editor(1);
    QVERIFY(box->isVisible());
    QVERIFY(!box->isReadOnly());
    QVERIFY(box->Text().startsWith(QStringLiteral("paragraph 0 of a big note")));
    QCOMPARE(f.window->editor(2)->Text(), QStringLiteral("web pages"));
    for (int n = 1; n <= 7; ++n)
        QVERIFY(!f.window->NoteChanged(n));

    // It came encoded, so that writing it after some typing encodes only the paragraph typed in.
    QTextCursor(box->document()).insertText(QStringLiteral("typed "));
    QCOMPARE(box->TextRTF(), rtf::write(box->document()));
    QCOMPARE(box->paragraphsEncodedLastTime(), 1);
    // Nor does it read the whole note to find what changed.
    QVERIFY2(box->paragraphsReadLastTime() <= 3, qPrintable(QString::number(box->paragraphsReadLastTime())));
}

void TestNoteLoading::everydayNoteInViewIsThereWhenTheWindowShows()
{
    WindowFixture f;
    f.quietSettings();
    f.settings->SaveSettingValue(QStringLiteral("Tab1"), QStringLiteral("NO"));
    WindowFixture::writeFile(f.noteDir() + QStringLiteral("/web.rtf"), WindowFixture::rtf("web pages"));
    QVERIFY(f.start());
    // Tab 1 is hidden, so the note in view is the second.
    QVERIFY(f.window->isNoteLoaded(2));
    QVERIFY(!loadingLabel(*f.window, 2)->isVisibleTo(f.window.get()));
    QCOMPARE(f.window->loadedEditor(2)->Text(), QStringLiteral("web pages"));
}

void TestNoteLoading::otherNotesAreReadOnceTheWindowIsPainted_data()
{
    QTest::addColumn<bool>("minimisedToTray");
    QTest::newRow("shown") << false;
    QTest::newRow("started minimised, no paint to wait for") << true;
}

void TestNoteLoading::otherNotesAreReadOnceTheWindowIsPainted()
{
    QFETCH(bool, minimisedToTray);
    WindowFixture f;
    f.quietSettings();
    for (int n = 1; n <= NoteTabs::Count; ++n)
        WindowFixture::writeFile(NoteTabs::notePath(f.noteDir(), n),
                                 WindowFixture::rtf("note " + QByteArray::number(n)));
    f.settings->SaveSettingValue(QStringLiteral("Tab6"), QStringLiteral("YES"));
    f.settings->SaveSettingValue(QStringLiteral("Tab7"), QStringLiteral("YES"));
    if (minimisedToTray)
        f.settings->SaveSettingValue(QStringLiteral("StartMin"), QStringLiteral("1"));
    QVERIFY(f.start());
    QVERIFY(f.window->isNoteLoaded(1));
    // Nothing competes with building and painting the window.
    QTest::qWait(200);
    for (int n = 2; n <= NoteTabs::Count; ++n)
        QVERIFY2(!f.window->isNoteLoaded(n), qPrintable(QStringLiteral("note %1").arg(n)));

    f.window->showAsStarted();
    for (int n = 2; n <= NoteTabs::Count; ++n) {
        QTRY_VERIFY(f.window->isNoteLoaded(n));
        QCOMPARE(f.window->editor(n)->Text(), QStringLiteral("note %1").arg(n));
    }
}

void TestNoteLoading::nothingWritesOrEditsANoteStillBeingRead()
{
    WindowFixture f;
    f.quietSettings();
    const QString path = f.noteDir() + QStringLiteral("/notes.rtf");
    const QByteArray bytes = bigNote();
    WindowFixture::writeFile(path, bytes);
    const QDateTime written = QFileInfo(path).lastModified();
    QVERIFY(f.start());
    QVERIFY(!f.window->isNoteLoaded(1));
    // The editing commands find no note to act on yet.
    f.window->menuItem(QStringLiteral("EditSelectAll"))->trigger();
    f.window->formatButton(QStringLiteral("Bold"))->trigger();
    f.window->menuItem(QStringLiteral("Insert"))->trigger();
    QVERIFY(!f.window->NoteChanged(1));
    f.window->shutdown();
    QCOMPARE(WindowFixture::readFile(path), bytes);
    QCOMPARE(QFileInfo(path).lastModified(), written);
}

void TestNoteLoading::aCommandOnANoteStillBeingReadWaitsForIt()
{
    WindowFixture f;
    f.quietSettings();
    const QString path = f.noteDir() + QStringLiteral("/notes.rtf");
    WindowFixture::writeFile(path, bigNote());
    QVERIFY(f.start());
    QVERIFY(!f.window->isNoteLoaded(1));
    // Clear works on the note as it is in its file, and what it cleared is written at exit.
    Dialogs::queueButton(QMessageBox::No);
    f.window->menuItem(QStringLiteral("clear"))->trigger();
    QVERIFY(f.window->isNoteLoaded(1));
    QVERIFY(f.window->editor(1)->Text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(f.window->isNoteLoaded(2), 60000);
    QVERIFY(f.window->editor(1)->Text().isEmpty()); // what was read before is not brought back
    f.window->shutdown();
    QVERIFY(!WindowFixture::readFile(path).contains("paragraph"));
}

void TestNoteLoading::spellCheckingWaitsForNoNoteAndFollowsEachIn()
{
    WindowFixture f;
    f.quietSettings();
    f.settings->SaveSettingValue(QStringLiteral("SpellCheck"), QStringLiteral("Yes"));
    for (const char *file : {"notes.rtf", "web.rtf", "email.rtf", "phone.rtf", "other.rtf"})
        WindowFixture::writeFile(f.noteDir() + u'/' + QLatin1String(file), bigNote());
    WindowFixture::writeFile(f.noteDir() + QStringLiteral("/tab6.rtf"), WindowFixture::rtf("recieve it"));
    f.settings->SaveSettingValue(QStringLiteral("Tab6"), QStringLiteral("YES"));
    QVERIFY(f.start());
    f.window->showAsStarted();
    QAction *spelling = f.window->menuItem(QStringLiteral("spellcheck"));
    QTRY_VERIFY(spelling->isEnabled()); // the dictionary is in
    QVERIFY(spelling->isChecked());
    // Spell checking came in without reading the notes on the window's thread.
    QVERIFY(!f.window->isNoteLoaded(6));

    QTRY_VERIFY_WITH_TIMEOUT(f.window->isNoteLoaded(6), 120000);
    const QTextBlock block = f.window->editor(6)->document()->firstBlock();
    QCOMPARE(block.text(), QStringLiteral("recieve it"));
    const auto underlined = [&block] {
        const QList<QTextLayout::FormatRange> formats = block.layout()->formats();
        return formats.size() == 1 && formats[0].start == 0 && formats[0].length == 7 &&
               formats[0].format.underlineStyle() == QTextCharFormat::SpellCheckUnderline;
    };
    QTRY_VERIFY_WITH_TIMEOUT(underlined(), 20000);
    QVERIFY(!f.window->NoteChanged(6));
}

QTEST_MAIN(TestNoteLoading)
#include "tst_noteloading.moc"
