// Spell-checking benchmark, each a ratio against a reference measured in the same run:
//  - typing into a shown 5 MB note with spell checking on, against the same without it (<= 1.5x):
//    a keystroke re-checks only its own paragraph;
//  - the same keystroke in a 5 MB note against a 5 KB note, both checked (<= 2x);
//  - the longest wait while a whole 5 MB note is checked after switching checking on, against one
//    keystroke's wait (<= 40x): the note is checked in slices between other events.
#include "DictionaryLocator.h"
#include "RichTextBox.h"
#include "SpellChecker.h"
#include "SpellHighlighter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Lines of about 100 characters of English with a misspelling in every fifth line.
QString noteText(qsizetype bytes)
{
    const QStringList lines = {
        QStringLiteral(
            "The quick brown fox jumps over the lazy dog while the farmer counts his sheep twice."),
        QStringLiteral(
            "Remember to call the plumber about the kitchen sink before the weekend starts again."),
        QStringLiteral("Meeting notes: budget approved, schedule moved to Thursday, coffee machine broken."),
        QStringLiteral("Shopping list for the party includes bread, cheese, apples, candles and a big cake."),
        QStringLiteral("The recieve button on the form does not work when the network connection is slow."),
    };
    QString text;
    text.reserve(bytes + 200);
    for (qsizetype i = 0; text.size() < bytes; ++i)
        text += lines.at(i % lines.size()) + u'\n';
    return text;
}

// Milliseconds per key typed at the end of the middle paragraph of the shown box, each key with
// its repaint, as a person typing waits for it.
double keystrokeMs(RichTextBox &box, int keys)
{
    QTextCursor c(box.document()->findBlockByNumber(box.document()->blockCount() / 2));
    c.movePosition(QTextCursor::EndOfBlock);
    box.setTextCursor(c);
    box.ensureCursorVisible();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keys; ++i) {
        const bool space = i % 6 == 5;
        QKeyEvent press(QEvent::KeyPress, space ? Qt::Key_Space : Qt::Key_W, Qt::NoModifier,
                        space ? QStringLiteral(" ") : QStringLiteral("w"));
        QCoreApplication::sendEvent(&box, &press);
        box.viewport()->repaint();
    }
    return double(timer.nsecsElapsed()) / 1e6 / keys;
}

// The longest turn of the event loop until the highlighter has checked the whole note.
double longestWaitMs(SpellHighlighter &highlighter, double *totalMs)
{
    QElapsedTimer total;
    total.start();
    double longest = 0;
    while (!highlighter.isComplete()) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents();
        longest = std::max(longest, double(turn.nsecsElapsed()) / 1e6);
    }
    *totalMs = double(total.nsecsElapsed()) / 1e6;
    return longest;
}

struct Note
{
    RichTextBox box;
    std::unique_ptr<SpellHighlighter> highlighter;
    double longestWait = 0;
    double checkAllMs = 0;
    Note(qsizetype bytes, SpellChecker *checker)
    {
        box.resize(800, 600);
        box.setText(noteText(bytes));
        box.show();
        QCoreApplication::processEvents();
        if (checker) {
            highlighter = std::make_unique<SpellHighlighter>(box.document(), checker);
            longestWait = longestWaitMs(*highlighter, &checkAllMs);
        }
    }
};

bool report(const char *what, double reference, double measured, double limit)
{
    const double ratio = measured / std::max(reference, 1e-6);
    std::printf("%-52s %10.4f ms %10.4f ms  ratio %6.2f  (limit %.1fx) %s\n", what, reference, measured,
                ratio, limit, ratio <= limit ? "ok" : "TOO SLOW");
    return ratio <= limit;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const DictionaryLocator::Found dictionary = DictionaryLocator::find({QStringLiteral("en_US")});
    SpellChecker checker;
    if (!dictionary.isValid() || !checker.open(dictionary.affPath, dictionary.dicPath)) {
        std::fprintf(stderr, "no en_US dictionary: install hunspell-en-us\n");
        return 1;
    }

    // The big note's size can be given (bytes), for profiling with a smaller one.
    const qsizetype bigBytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 5'000'000;
    Note checkedLarge(bigBytes, &checker);
    std::printf("checking the whole 5 MB note: %.0f ms in slices, the longest wait %.1f ms\n",
                checkedLarge.checkAllMs, checkedLarge.longestWait);
    Note plainLarge(bigBytes, nullptr);
    Note checkedSmall(5'000, &checker);

    // Best of five, so a busy machine's stray pause does not count against either side.
    double plain = 1e12, checked = 1e12, small = 1e12;
    for (int round = 0; round < 5; ++round) {
        plain = std::min(plain, keystrokeMs(plainLarge.box, 300));
        checked = std::min(checked, keystrokeMs(checkedLarge.box, 300));
        small = std::min(small, keystrokeMs(checkedSmall.box, 300));
    }
    bool ok = true;
    ok &= report("keystroke in 5 MB: unchecked vs checked", plain, checked, 1.5);
    ok &= report("keystroke checked: 5 KB vs 5 MB", small, checked, 2);
    ok &= report("keystroke vs longest wait checking all of 5 MB", checked, checkedLarge.longestWait, 40);
    return ok ? 0 : 1;
}
