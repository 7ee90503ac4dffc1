#include "NoteSetCommands.h"

#include "Dialogs.h"
#include "NoteCommandsLog.h"
#include "NoteWindow.h"
#include "RichTextBox.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTextCursor>
#include <QWidget>

namespace {

const QString &appTitle()
{
    static const QString title = QStringLiteral("Quillbox Plus");
    return title;
}

const QString &newQuestion()
{
    // New and Clear ask the same words.
    static const QString text =
        QStringLiteral("Save your text to an alternate file before creating a new note set?");
    return text;
}

const QString &openQuestion()
{
    static const QString text = QStringLiteral("Save your changes to an alternate file before adding text?");
    return text;
}

// The number of the note whose container is in view, 0 when none is.
int visibleNote(const NoteWindow &window)
{
    for (int n = 1; n <= 7; ++n) {
        if (window.isPanelVisible(n) && window.editor(n))
            return n;
    }
    return 0;
}

} // namespace

NoteSetCommands::NoteSetCommands(NoteWindow &window, SettingsStore &settings, Clock clock)
    : m_window(window), m_settings(settings), m_clock(std::move(clock))
{
}

const QString &NoteSetCommands::fileFilter()
{
    static const QString filter = QStringLiteral("RTF Files (*.rtf);;Text Files (*.txt);;All Files (*)");
    return filter;
}

QString NoteSetCommands::defaultCopyName(const QDateTime &when)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QTime time = when.time();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("Notes from %1 - %2-%3%4")
        .arg(english.dayName(when.date().dayOfWeek(), QLocale::LongFormat))
        .arg(hour12)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QLatin1Char('a') : QLatin1Char('p'));
}

bool NoteSetCommands::SaveNotesCopy()
{
    // The dialog opens where the user last took a file from, else in their documents folder;
    // the working directory of a tray program means nothing to the user.
    // Only a folder that exists is proposed, else the name would not be a place to save to.
    QString folder = m_lastOpened.isEmpty() ? QString() : QFileInfo(m_lastOpened).absolutePath();
    if (!QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(defaultCopyName(m_clock()));

    QWidget *parent = m_window.window();
    const QString path =
        Dialogs::saveFileName(parent, QString(), suggested, fileFilter(), QStringLiteral("rtf"));
    if (path.isEmpty())
        return false;
    RichTextBox *box = m_window.ActiveEditor();
    if (!box)
        return false;

    // Always RTF, whatever filter or extension was chosen: the copy keeps the formatting.
    m_window.keepBeforeReplacing(path);
    QString error;
    if (!box->SaveFile(path, &error)) {
        qCWarning(lcNoteCommands) << "copy of the note not written:" << error;
        Dialogs::message(
            parent, appTitle(),
            QStringLiteral("The copy could not be saved to\n%1\n\n%2\n\nYour notes are unchanged.")
                .arg(QDir::toNativeSeparators(path), error),
            QMessageBox::Warning);
        return false;
    }
    return true;
}

NoteSetCommands::Copy NoteSetCommands::offerCopy(const QString &question)
{
    // Cancel is what Esc and the close control give: with Yes and No alone they would mean No,
    // and New or Clear would empty the note.
    const auto answer =
        Dialogs::message(m_window.window(), QStringLiteral("Save"), question, QMessageBox::Question,
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return Copy::NotWanted;
    if (answer != QMessageBox::Yes)
        return Copy::QuestionCancelled;
    return SaveNotesCopy() ? Copy::Made : Copy::DialogCancelled;
}

void NoteSetCommands::emptyVisibleNotes(bool applyDefaultFont)
{
    QFont font;
    if (applyDefaultFont) {
        // A blank setting means "no default": the Notes box's own font fills the gap.
        RichTextBox *notesBox = m_window.editor(1);
        if (notesBox)
            font = notesBox->font();
        const QString name = m_settings.GetSettingValue(SettingKey::DefaultFont).trimmed();
        if (!name.isEmpty())
            font.setFamily(name);
        const QString sizeText = m_settings.GetSettingValue(SettingKey::DefaultFontSize).trimmed();
        const double size = SettingValue::numeric(sizeText);
        if (!sizeText.isEmpty() && size > 0)
            font.setPointSizeF(size);
    }

    for (int n = 1; n <= 7; ++n) {
        RichTextBox *box = m_window.editor(n);
        if (!box || !m_window.isPanelVisible(n))
            continue;
        {
            // Emptied as one step the user can undo, the new typing font included.
            const RichTextBox::UndoStep step(box);
            box->clearText();
            if (applyDefaultFont) {
                // The box's base font, and the typing format, which an emptied box keeps from
                // its former text.
                box->setFont(font);
                box->setSelFontName(font.family());
                if (font.pointSizeF() > 0)
                    box->setSelFontSize(font.pointSizeF());
            }
        }
        m_window.setNoteChanged(n, false);
    }
}

void NoteSetCommands::NewNotes()
{
    const Copy copy = offerCopy(newQuestion());
    if (copy == Copy::DialogCancelled || copy == Copy::QuestionCancelled)
        return;
    emptyVisibleNotes(true);
    m_window.FocusVisibleEditor();
}

void NoteSetCommands::ClearNotes()
{
    const Copy copy = offerCopy(newQuestion());
    if (copy == Copy::DialogCancelled || copy == Copy::QuestionCancelled)
        return;
    emptyVisibleNotes(false);
}

void NoteSetCommands::OpenIntoNotes()
{
    // Adding text destroys nothing, so Open goes on even when the copy's dialog was cancelled;
    // only a cancelled question ends it.
    if (offerCopy(openQuestion()) == Copy::QuestionCancelled)
        return;

    QWidget *parent = m_window.window();
    // The dialog starts in the folder of the last file taken in, with no name chosen yet.
    const QString folder = m_lastOpened.isEmpty() ? QString() : QFileInfo(m_lastOpened).absolutePath();
    const QString path = Dialogs::openFileName(parent, QString(), folder, fileFilter());
    if (path.isEmpty())
        return;
    const int n = visibleNote(m_window);
    if (n == 0)
        return;
    RichTextBox *box = m_window.editor(n);

    // The file's content follows the note, added as one step the user can undo, on a line of its
    // own rather than glued to the note's last word.
    const QString note = box->Text();
    const bool separate = !note.isEmpty() && !note.endsWith(QLatin1Char('\n'));
    QString error;
    bool added = false;
    {
        const RichTextBox::UndoStep step(box);
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        if (separate)
            end.insertBlock();
        box->setTextCursor(end);
        added = box->insertFile(path, &error);
        if (separate && (!added || box->Text().size() == note.size() + 1)) {
            QTextCursor joint(box->document()); // nothing came in: no empty line either
            joint.setPosition(int(note.size()));
            joint.deleteChar();
        }
    }
    if (!added) {
        // The note is untouched; say why nothing was added.
        qCWarning(lcNoteCommands) << "file not added to the note:" << error;
        Dialogs::message(parent, appTitle(),
                         QStringLiteral("The file could not be opened:\n%1\n\n%2")
                             .arg(QDir::toNativeSeparators(path), error),
                         QMessageBox::Warning);
        return;
    }
    box->setSelStart(0);
    m_window.setNoteChanged(n, false);
    m_lastOpened = QFileInfo(path).absoluteFilePath();
    m_window.FocusVisibleEditor();
}
