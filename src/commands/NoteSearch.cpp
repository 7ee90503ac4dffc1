#include "NoteSearch.h"

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isWholeWord(const QString &text, qsizetype at, qsizetype length)
{
    const bool startOk = at == 0 || !isWordChar(text.at(at - 1));
    const qsizetype end = at + length;
    const bool endOk = end >= text.size() || !isWordChar(text.at(end));
    return startOk && endOk;
}

// The line around a match, at most about 120 characters, with an ellipsis where it was cut.
void fillLine(NoteSearch::Match &match, const QString &text)
{
    constexpr qsizetype kBefore = 40;
    constexpr qsizetype kMax = 120;
    const qsizetype lineBegin =
        match.position == 0 ? 0 : text.lastIndexOf(QLatin1Char('\n'), match.position - 1) + 1;
    qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), match.position + match.length);
    if (lineEnd < 0)
        lineEnd = text.size();
    qsizetype from = std::max(lineBegin, match.position - kBefore);
    qsizetype to = std::min(lineEnd, std::max<qsizetype>(from + kMax, match.position + match.length));
    QString line = text.mid(from, to - from);
    int offset = int(match.position - from);
    if (from > lineBegin) {
        line.prepend(QChar(0x2026));
        ++offset;
    }
    if (to < lineEnd)
        line.append(QChar(0x2026));
    line.replace(QLatin1Char('\t'), QLatin1Char(' '));
    match.line = line;
    match.lineStart = offset;
}

} // namespace

NoteSearch::Result NoteSearch::search(const QList<Note> &notes, const QString &term, Options options,
                                      int limit, const std::atomic_bool *cancel)
{
    Result result;
    if (term.isEmpty())
        return result;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const Note &note : notes) {
        qsizetype at = 0;
        while ((at = note.text.indexOf(term, at, cs)) >= 0) {
            if (cancel && cancel->load()) {
                result.cancelled = true;
                return result;
            }
            if (!options.wholeWord || isWholeWord(note.text, at, term.size())) {
                if (result.matches.size() >= limit) {
                    result.truncated = true;
                    return result;
                }
                Match match;
                match.note = note.number;
                match.caption = note.caption;
                match.position = int(at);
                match.length = int(term.size());
                fillLine(match, note.text);
                result.matches.append(match);
            }
            at += std::max<qsizetype>(1, term.size());
        }
    }
    return result;
}
