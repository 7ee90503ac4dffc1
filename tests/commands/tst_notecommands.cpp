#include "Dialogs.h"
#include "NoteSetCommands.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "tst_notecommands_window.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString newQuestion =
    QStringLiteral("Save your text to an alternate file before creating a new note set?");
const QString openQuestion = QStringLiteral("Save your changes to an alternate file before adding text?");

// A Monday morning, 9:05.
QDateTime mondayMorning()
{
    return QDateTime(QDate(2024, 6, 3), QTime(9, 5, 0));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void selectRange(RichTextBox *box, int start, int length)
{
    box->setSelStart(start);
    box->setSelLength(length);
}

// Once a real modal dialog is up, runs `act` on it (as a person would press a key or click).
void whenModalShows(const std::function<void(QWidget *)> &act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            act(modal);
        }
    });
    poll->start(20);
}

} // namespace

class TestNoteCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copyNameFollowsTheClockInEnglish_data();
    void copyNameFollowsTheClockInEnglish();
    void saveCopyOffersTheDatedNameAndWritesRtfWhateverTheExtension();
    void saveCopyThatCannotBeWrittenTellsTheUser();

    void newAndClearAskThenEmptyOnlyTheShownNote_data();
    void newAndClearAskThenEmptyOnlyTheShownNote();
    void cancelledCopyDoesNotStopALaterNew();
    void newGivesTheEmptiedNoteTheDefaultFont_data();
    void newGivesTheEmptiedNoteTheDefaultFont();
    void clearKeepsTheNoteFont();

    void openAppendsTheFileAfterTheNote_data();
    void openAppendsTheFileAfterTheNote();
    void openKeepsBothFormattings();
    void openIntoAnEmptyNoteAddsNoBlankLine();
    void openOfAnUnreadableFileLeavesTheNoteAndSaysSo();
    void nextOpenStartsInTheLastFolderWithAnEmptyName();
    void newClearAndOpenAreOneUndoStepEach_data();
    void newClearAndOpenAreOneUndoStepEach();

    void escOrCloseOnTheQuestionChangesNothing_data();
    void escOrCloseOnTheQuestionChangesNothing();
    void questionsComeAboveAStayOnTopDialog();
    void saveCopyProposesAFolderThatExists_data();
    void saveCopyProposesAFolderThatExists();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<FakeNoteWindow> m_window;
    std::unique_ptr<NoteSetCommands> m_commands;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString writeRtfFile(const QString &name, const QString &text, bool italic);
    QStringList shownKinds() const;
};

void TestNoteCommands::init()
{
    Dialogs::setNeverBlock(true);
    Dialogs::clearSeams();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_settings = std::make_unique<SettingsStore>(path(QStringLiteral("settings.ini")));
    m_window = std::make_unique<FakeNoteWindow>();
    m_commands = std::make_unique<NoteSetCommands>(*m_window, *m_settings, [] { return mondayMorning(); });
}

void TestNoteCommands::cleanup()
{
    Dialogs::clearSeams();
    m_commands.reset();
    m_window.reset();
}

QString TestNoteCommands::writeRtfFile(const QString &name, const QString &text, bool italic)
{
    RichTextBox box;
    box.setText(text);
    selectRange(&box, 0, text.length());
    box.setSelItalic(italic);
    const QString file = path(name);
    QString error;
    if (!box.SaveFile(file, &error))
        qWarning() << error;
    return file;
}

QStringList TestNoteCommands::shownKinds() const
{
    QStringList kinds;
    for (const auto &shown : Dialogs::shown())
        kinds << shown.kind;
    return kinds;
}

void TestNoteCommands::copyNameFollowsTheClockInEnglish_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");
    QTest::newRow("monday morning") << mondayMorning() << "Notes from Monday - 9-05a";
    QTest::newRow("afternoon") << QDateTime(QDate(2024, 6, 4), QTime(15, 7)) << "Notes from Tuesday - 3-07p";
    QTest::newRow("midnight") << QDateTime(QDate(2024, 6, 9), QTime(0, 0)) << "Notes from Sunday - 12-00a";
    QTest::newRow("noon") << QDateTime(QDate(2024, 6, 8), QTime(12, 30)) << "Notes from Saturday - 12-30p";
    QTest::newRow("late evening") << QDateTime(QDate(2024, 6, 5), QTime(23, 59))
                                  << "Notes from Wednesday - 11-59p";
}

void TestNoteCommands::copyNameFollowsTheClockInEnglish()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    // A German desktop must not turn Monday into Montag: shared note sets keep one naming.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString name = NoteSetCommands::defaultCopyName(when);
    QLocale::setDefault(saved);
    QCOMPARE(name, expected);
}

void TestNoteCommands::saveCopyOffersTheDatedNameAndWritesRtfWhateverTheExtension()
{
    RichTextBox *box = m_window->editor(1);
    box->setText(QStringLiteral("Meeting at ten"));
    m_window->setNoteChanged(1, true);
    const QString target = path(QStringLiteral("copy.txt")); // the Text Files filter chosen
    Dialogs::queueFileName(target);

    QVERIFY(m_commands->SaveNotesCopy());

    const auto shown = Dialogs::shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).kind, QStringLiteral("save"));
    QCOMPARE(QFileInfo(shown.at(0).text).fileName(), QStringLiteral("Notes from Monday - 9-05a"));
    const QByteArray written = readAll(target);
    QVERIFY2(written.startsWith("{\\rtf"), written.left(40).constData());
    QVERIFY(written.contains("Meeting at ten"));
    // A copy is not the note: its changed flag still says the note file needs writing.
    QVERIFY(m_window->changed(1));
    QCOMPARE(box->Text(), QStringLiteral("Meeting at ten"));
}

void TestNoteCommands::saveCopyThatCannotBeWrittenTellsTheUser()
{
    m_window->editor(1)->setText(QStringLiteral("keep me"));
    Dialogs::queueFileName(path(QStringLiteral("no such folder/copy.rtf")));

    QVERIFY(!m_commands->SaveNotesCopy());

    QCOMPARE(shownKinds(), QStringList({"save", "message"}));
    QCOMPARE(Dialogs::shown().at(1).title, QStringLiteral("Quillbox Plus"));
    QVERIFY(Dialogs::shown().at(1).text.contains(QStringLiteral("could not be saved")));
}

void TestNoteCommands::newAndClearAskThenEmptyOnlyTheShownNote_data()
{
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("copyName"); // "" cancels the save dialog
    QTest::addColumn<bool>("emptied");
    QTest::addColumn<QStringList>("dialogs");

    const QStringList questionOnly{"message"};
    const QStringList withCopy{"message", "save"};
    const QStringList withFailedCopy{"message", "save", "message"};
    for (const bool isNew : {true, false}) {
        const char *name = isNew ? "new" : "clear";
        QTest::addRow("%s, no copy", name) << isNew << false << QString() << true << questionOnly;
        QTest::addRow("%s, copy cancelled", name) << isNew << true << QString() << false << withCopy;
        QTest::addRow("%s, copy saved", name) << isNew << true << "copy.rtf" << true << withCopy;
        // Emptying the note after the copy failed would lose the text the user wanted kept.
        QTest::addRow("%s, copy failed", name)
            << isNew << true << "missing/copy.rtf" << false << withFailedCopy;
    }
}

void TestNoteCommands::newAndClearAskThenEmptyOnlyTheShownNote()
{
    QFETCH(bool, isNew);
    QFETCH(bool, answerYes);
    QFETCH(QString, copyName);
    QFETCH(bool, emptied);
    QFETCH(QStringList, dialogs);

    for (int n = 1; n <= 7; ++n)
        m_window->editor(n)->setText(QStringLiteral("note %1").arg(n));
    m_window->show(3);
    Dialogs::queueButton(answerYes ? QMessageBox::Yes : QMessageBox::No);
    if (answerYes)
        Dialogs::queueFileName(copyName.isEmpty() ? QString() : path(copyName));

    isNew ? m_commands->NewNotes() : m_commands->ClearNotes();

    QCOMPARE(shownKinds(), dialogs);
    QCOMPARE(Dialogs::shown().at(0).title, QStringLiteral("Save"));
    QCOMPARE(Dialogs::shown().at(0).text, newQuestion);
    QCOMPARE(m_window->editor(3)->Text(), emptied ? QString() : QStringLiteral("note 3"));
    QCOMPARE(m_window->changed(3), !emptied);
    for (int n : {1, 2, 4, 5, 6, 7})
        QCOMPARE(m_window->editor(n)->Text(), QStringLiteral("note %1").arg(n));
    if (copyName == QLatin1String("copy.rtf"))
        QVERIFY(readAll(path(copyName)).contains("note 3"));
}

void TestNoteCommands::cancelledCopyDoesNotStopALaterNew()
{
    m_window->editor(1)->setText(QStringLiteral("old"));
    Dialogs::queueFileName(QString());
    QVERIFY(!m_commands->SaveNotesCopy());
    Dialogs::queueButton(QMessageBox::Yes);
    Dialogs::queueFileName(QString());
    m_commands->NewNotes();
    QCOMPARE(m_window->editor(1)->Text(), QStringLiteral("old"));

    Dialogs::queueButton(QMessageBox::No);
    m_commands->NewNotes();
    QCOMPARE(m_window->editor(1)->Text(), QString());
    QVERIFY(m_window->focusCalls() > 0);
}

void TestNoteCommands::newGivesTheEmptiedNoteTheDefaultFont_data()
{
    QTest::addColumn<QString>("fontSetting");
    QTest::addColumn<QString>("sizeSetting");
    QTest::addColumn<QString>("expectedFont");
    QTest::addColumn<double>("expectedSize");
    // The Notes box (tab 1) is in "DejaVu Sans" 11; the shown tab 2 in "DejaVu Sans Mono" 9.
    QTest::newRow("both set") << "DejaVu Serif"
                              << "14"
                              << "DejaVu Serif" << 14.0;
    QTest::newRow("size with fraction") << " DejaVu Serif "
                                        << "10.5"
                                        << "DejaVu Serif" << 10.5;
    QTest::newRow("font blank") << ""
                                << "14"
                                << "DejaVu Sans" << 14.0;
    QTest::newRow("size blank") << "DejaVu Serif"
                                << "  "
                                << "DejaVu Serif" << 11.0;
    QTest::newRow("nothing stored") << ""
                                    << ""
                                    << "DejaVu Sans" << 11.0;
}

void TestNoteCommands::newGivesTheEmptiedNoteTheDefaultFont()
{
    QFETCH(QString, fontSetting);
    QFETCH(QString, sizeSetting);
    QFETCH(QString, expectedFont);
    QFETCH(double, expectedSize);

    m_window->editor(1)->setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    RichTextBox *box = m_window->editor(2);
    box->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
    box->setText(QStringLiteral("old text"));
    selectRange(box, 0, 3);
    box->setSelFontName(QStringLiteral("DejaVu Sans Mono"));
    box->setSelFontSize(20.0);
    m_window->show(2);
    if (!fontSetting.isEmpty())
        m_settings->SaveSettingValue(SettingKey::DefaultFont, fontSetting);
    if (!sizeSetting.isEmpty())
        m_settings->SaveSettingValue(SettingKey::DefaultFontSize, sizeSetting);

    Dialogs::queueButton(QMessageBox::No);
    m_commands->NewNotes();

    // What the user types next comes out in the default font.
    box->setSelText(QStringLiteral("typed"));
    selectRange(box, 0, 5);
    QCOMPARE(box->SelFontName().value_or(QString()), expectedFont);
    QCOMPARE(box->SelFontSize().value_or(0.0), expectedSize);
}

void TestNoteCommands::clearKeepsTheNoteFont()
{
    RichTextBox *box = m_window->editor(1);
    box->setFont(QFont(QStringLiteral("DejaVu Serif"), 13));
    box->setText(QStringLiteral("something"));
    m_settings->SaveSettingValue(SettingKey::DefaultFont, QStringLiteral("DejaVu Sans Mono"));
    Dialogs::queueButton(QMessageBox::No);

    m_commands->ClearNotes();

    QCOMPARE(box->Text(), QString());
    QCOMPARE(box->font().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(box->font().pointSizeF(), 13.0);
    QCOMPARE(m_window->focusCalls(), 0);
}

void TestNoteCommands::openAppendsTheFileAfterTheNote_data()
{
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("copyName");
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("copyWritten");

    QTest::newRow("no copy") << false << QString() << true << "Shopping\nFrom file" << false;
    QTest::newRow("copy saved") << true << "copy.rtf" << true << "Shopping\nFrom file" << true;
    // Adding text loses nothing, so a cancelled copy does not stop Open.
    QTest::newRow("copy cancelled") << true << QString() << true << "Shopping\nFrom file" << false;
    QTest::newRow("open cancelled after copy") << true << "copy.rtf" << false << "Shopping" << true;
    QTest::newRow("open cancelled") << false << QString() << false << "Shopping" << false;
}

void TestNoteCommands::openAppendsTheFileAfterTheNote()
{
    QFETCH(bool, answerYes);
    QFETCH(QString, copyName);
    QFETCH(bool, chooseFile);
    QFETCH(QString, expected);
    QFETCH(bool, copyWritten);

    const QString file = writeRtfFile(QStringLiteral("add.rtf"), QStringLiteral("From file"), false);
    RichTextBox *box = m_window->editor(5);
    box->setText(QStringLiteral("Shopping"));
    m_window->show(5);
    Dialogs::queueButton(answerYes ? QMessageBox::Yes : QMessageBox::No);
    if (answerYes)
        Dialogs::queueFileName(copyName.isEmpty() ? QString() : path(copyName));
    Dialogs::queueFileName(chooseFile ? file : QString());

    m_commands->OpenIntoNotes();

    QCOMPARE(Dialogs::shown().at(0).title, QStringLiteral("Save"));
    QCOMPARE(Dialogs::shown().at(0).text, openQuestion);
    QCOMPARE(shownKinds().last(), QStringLiteral("open"));
    QCOMPARE(box->Text(), expected);
    QCOMPARE(QFileInfo::exists(path(QStringLiteral("copy.rtf"))), copyWritten);
    if (chooseFile) {
        QVERIFY(!m_window->changed(5));
        QCOMPARE(m_commands->lastOpenedFile(), QFileInfo(file).absoluteFilePath());
    }
}

void TestNoteCommands::openKeepsBothFormattings()
{
    const QString rtfFile = writeRtfFile(QStringLiteral("italic.rtf"), QStringLiteral("World"), true);
    const QString textFile = path(QStringLiteral("plain.txt"));
    {
        QFile f(textFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{braces} stay\nsecond line\n");
    }
    RichTextBox *box = m_window->editor(1);
    box->setText(QStringLiteral("Hello"));
    selectRange(box, 0, 5);
    box->setSelBold(true);

    Dialogs::queueButton(QMessageBox::No);
    Dialogs::queueFileName(rtfFile);
    m_commands->OpenIntoNotes();
    Dialogs::queueButton(QMessageBox::No);
    Dialogs::queueFileName(textFile);
    m_commands->OpenIntoNotes();

    // A text file comes in as its characters, not as a failed attempt at RTF.
    QVERIFY2(box->Text().startsWith(QStringLiteral("Hello\nWorld\n{braces} stay\nsecond line")),
             qPrintable(box->Text()));
    selectRange(box, 0, 5);
    QCOMPARE(box->SelBold(), std::optional<bool>(true));
    QCOMPARE(box->SelItalic(), std::optional<bool>(false));
    selectRange(box, 6, 5);
    QCOMPARE(box->SelText(), QStringLiteral("World"));
    QCOMPARE(box->SelItalic(), std::optional<bool>(true));
    QCOMPARE(box->SelBold(), std::optional<bool>(false));
}

void TestNoteCommands::openIntoAnEmptyNoteAddsNoBlankLine()
{
    const QString file = writeRtfFile(QStringLiteral("only.rtf"), QStringLiteral("Only this"), false);
    Dialogs::queueButton(QMessageBox::No);
    Dialogs::queueFileName(file);

    m_commands->OpenIntoNotes();

    QCOMPARE(m_window->editor(1)->Text(), QStringLiteral("Only this"));
}

void TestNoteCommands::openOfAnUnreadableFileLeavesTheNoteAndSaysSo()
{
    RichTextBox *box = m_window->editor(1);
    box->setText(QStringLiteral("untouched"));
    m_window->setNoteChanged(1, true);
    Dialogs::queueButton(QMessageBox::No);
    Dialogs::queueFileName(path(QStringLiteral("gone.rtf")));

    m_commands->OpenIntoNotes();

    QCOMPARE(box->Text(), QStringLiteral("untouched"));
    QVERIFY(m_window->changed(1)); // still to be written to the note file
    QCOMPARE(shownKinds(), QStringList({"message", "open", "message"}));
    QCOMPARE(Dialogs::shown().last().title, QStringLiteral("Quillbox Plus"));
    QVERIFY(m_commands->lastOpenedFile().isEmpty());
}

void TestNoteCommands::nextOpenStartsInTheLastFolderWithAnEmptyName()
{
    const QString file = writeRtfFile(QStringLiteral("first.rtf"), QStringLiteral("x"), false);
    Dialogs::queueButton(QMessageBox::No);
    Dialogs::queueFileName(file);
    m_commands->OpenIntoNotes();
    Dialogs::clearSeams();

    Dialogs::queueButton(QMessageBox::No);
    Dialogs::queueFileName(QString());
    m_commands->OpenIntoNotes();

    QCOMPARE(Dialogs::shown().last().kind, QStringLiteral("open"));
    // The folder, not the file: a file name typed over nothing, not over the last one.
    QCOMPARE(Dialogs::shown().last().text, QFileInfo(file).absolutePath());
}

void TestNoteCommands::newClearAndOpenAreOneUndoStepEach_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("new") << "new";
    QTest::newRow("clear") << "clear";
    QTest::newRow("open") << "open";
}

void TestNoteCommands::newClearAndOpenAreOneUndoStepEach()
{
    QFETCH(QString, command);
    RichTextBox *box = m_window->editor(1);
    m_window->show(1);
    box->setText(QStringLiteral("Earlier words"));
    selectRange(box, 0, 7);
    box->setSelBold(true); // the note's history before the command
    Dialogs::queueButton(QMessageBox::No);
    if (command == u"new") {
        m_commands->NewNotes();
    } else if (command == u"clear") {
        m_commands->ClearNotes();
    } else {
        Dialogs::queueFileName(writeRtfFile(QStringLiteral("more.rtf"), QStringLiteral("More"), false));
        m_commands->OpenIntoNotes();
    }
    QVERIFY(box->Text() != QStringLiteral("Earlier words"));

    box->undo();
    QCOMPARE(box->Text(), QStringLiteral("Earlier words"));
    selectRange(box, 0, 7);
    QCOMPARE(box->SelBold(), std::optional<bool>(true));
    box->undo(); // the history from before the command is still there
    selectRange(box, 0, 7);
    QCOMPARE(box->SelBold(), std::optional<bool>(false));
}

void TestNoteCommands::escOrCloseOnTheQuestionChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("esc"); // else the window's close control
    for (const char *command : {"new", "clear", "open"}) {
        QTest::addRow("%s, Esc", command) << QString::fromLatin1(command) << true;
        QTest::addRow("%s, close control", command) << QString::fromLatin1(command) << false;
    }
}

void TestNoteCommands::escOrCloseOnTheQuestionChangesNothing()
{
    QFETCH(QString, command);
    QFETCH(bool, esc);
    m_window->editor(1)->setText(QStringLiteral("keep me"));
    m_window->setNoteChanged(1, true);
    m_window->show(1);
    Dialogs::setNeverBlock(false);
    whenModalShows([esc](QWidget *box) {
        if (esc)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->close();
    });
    if (command == QLatin1String("new"))
        m_commands->NewNotes();
    else if (command == QLatin1String("clear"))
        m_commands->ClearNotes();
    else
        m_commands->OpenIntoNotes();
    Dialogs::setNeverBlock(true);

    QCOMPARE(shownKinds(), QStringList{"message"}); // no file dialog follows
    QCOMPARE(m_window->editor(1)->Text(), QStringLiteral("keep me"));
    QVERIFY(m_window->changed(1));
}

void TestNoteCommands::questionsComeAboveAStayOnTopDialog()
{
    // The Find and Replace dialog stays on top of the main window.
    QDialog find(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    find.show();
    m_window->editor(1)->setText(QStringLiteral("keep me"));
    m_window->show(1);
    Dialogs::setNeverBlock(false);
    bool onTop = false;
    whenModalShows([&onTop](QWidget *box) {
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    m_commands->NewNotes();
    Dialogs::setNeverBlock(true);
    QVERIFY(onTop);
}

void TestNoteCommands::saveCopyProposesAFolderThatExists_data()
{
    QTest::addColumn<bool>("documents");
    QTest::newRow("Documents exists") << true;
    QTest::newRow("no Documents: home") << false;
}

void TestNoteCommands::saveCopyProposesAFolderThatExists()
{
    QFETCH(bool, documents);
    const QString home = path(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    if (documents)
        QVERIFY(QDir().mkpath(home + QStringLiteral("/Documents")));
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.toLocal8Bit());
    Dialogs::queueFileName(QString());
    m_commands->SaveNotesCopy();
    qputenv("HOME", oldHome);

    const QString suggested = Dialogs::shown().at(0).text;
    QVERIFY2(QFileInfo(suggested).isAbsolute(), qPrintable(suggested));
    QCOMPARE(QFileInfo(suggested).path(), documents ? home + QStringLiteral("/Documents") : home);
}

QTEST_MAIN(TestNoteCommands)
#include "tst_notecommands.moc"
