// Spell-checking benchmark, each a ratio against a reference measured in the same run:
//  - a keystroke in a 5 MB note with spell checking on, against the same without it (<= 1.5x):
//    the keystroke re-checks only its own paragraph;
//  - the same keystroke in a 5 MB note against a 5 KB note, both checked (<= 2x).
#include "DictionaryLocator.h"
#include "RichTextBox.h"
#include "SpellChecker.h"
#include "SpellHighlighter.h"

#include <QApplication>
#include <QElapsedTimer>
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

// Milliseconds per keystroke typed at the end of the middle paragraph.
double keystrokeMs(RichTextBox &box, int keys)
{
    QTextCursor c(box.document()->findBlockByNumber(box.document()->blockCount() / 2));
    c.movePosition(QTextCursor::EndOfBlock);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keys; ++i)
        c.insertText(i % 6 == 5 ? QStringLiteral(" ") : QStringLiteral("w"));
    return double(timer.nsecsElapsed()) / 1e6 / keys;
}

struct Note
{
    RichTextBox box;
    std::unique_ptr<SpellHighlighter> highlighter;
    Note(qsizetype bytes, SpellChecker *checker)
    {
        box.setText(noteText(bytes));
        if (checker) {
            highlighter = std::make_unique<SpellHighlighter>(box.document(), checker);
            highlighter->rehighlight(); // the whole note once, as switching it on does
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

    QElapsedTimer timer;
    timer.start();
    Note checkedLarge(5'000'000, &checker);
    std::printf("checking the whole 5 MB note once: %.0f ms\n", double(timer.nsecsElapsed()) / 1e6);
    Note plainLarge(5'000'000, nullptr);
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
    return ok ? 0 : 1;
}
