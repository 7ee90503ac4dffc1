// Saves two large notes in turn to the file named by argv[1], forever, until it is killed. Each
// note's exact bytes are first written to <file>.a and <file>.b for the test to compare against.
#include "NoteFiles.h"
#include "NoteStorage.h"
#include "RichTextBox.h"

#include <QApplication>
#include <QTextCursor>

namespace {
void fill(RichTextBox &box, const QString &word, int paragraphs)
{
    QTextCursor cursor(box.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < paragraphs; ++i) {
        cursor.insertText(QStringLiteral("%1 %2 ").arg(word).arg(i), bold);
        cursor.insertText(word.repeated(20), QTextCharFormat());
        cursor.insertBlock();
    }
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    RichTextBox a;
    RichTextBox b;
    fill(a, QStringLiteral("alpha"), 6000);
    fill(b, QStringLiteral("bravo"), 9000);
    NoteFiles files(allThrough(NoteStorage::plain()));
    if (!files.save(1, a.TextRTF(), path) || !a.SaveFile(path + QStringLiteral(".a")) ||
        !b.SaveFile(path + QStringLiteral(".b")))
        return 1;
    for (bool second = true;; second = !second) {
        if (!files.save(1, (second ? b : a).TextRTF(), path))
            return 1;
    }
}
