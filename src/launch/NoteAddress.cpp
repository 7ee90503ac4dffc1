#include "NoteAddress.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace NoteAddress {

namespace {

bool isOpener(QChar c)
{
    return QStringLiteral("([{<\"'\u2018\u201C").contains(c);
}

bool isTrailing(QChar c)
{
    return QStringLiteral(".,;:!?)]}>\"'\u2019\u201D").contains(c);
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || c.isSpace())
            return true;
    }
    return false;
}

} // namespace

Range core(const QString &item)
{
    int start = 0;
    int end = item.size();
    while (start < end && isOpener(item.at(start)))
        ++start;
    while (end > start && isTrailing(item.at(end - 1))) {
        const QStringView kept = QStringView(item).mid(start, end - start);
        if (item.at(end - 1) == QLatin1Char(')') && kept.count(QLatin1Char('(')) >= kept.count(QLatin1Char(')')))
            break;
        --end;
    }
    return {start, end - start};
}

std::optional<QString> webUrl(const QString &item)
{
    if (item.isEmpty() || hasControlCharacter(item))
        return std::nullopt;

    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    static const QRegularExpression hostPort(QStringLiteral("^[^:/]+\\.[^:/]+:\\d"));
    const QRegularExpressionMatch m = scheme.match(item);
    if (m.hasMatch() && !hostPort.match(item).hasMatch()) {
        const QString name = m.captured(1).toLower();
        if (name != QLatin1String("http") && name != QLatin1String("https") && name != QLatin1String("ftp"))
            return std::nullopt;
        const QUrl url(item, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return std::nullopt;
        return item;
    }

    // A host name of dotted labels ending in letters (or an IPv4 address), then optionally a port, path or query.
    static const QRegularExpression host(QStringLiteral(
        "^(?:(?:[\\w](?:[\\w-]*[\\w])?\\.)+[^\\W\\d_]{2,}|(?:\\d{1,3}\\.){3}\\d{1,3})"
        "(?::\\d{1,5})?(?:[/?#].*)?$"),
        QRegularExpression::UseUnicodePropertiesOption);
    if (!host.match(item).hasMatch())
        return std::nullopt;
    const QString address = QStringLiteral("http://") + item;
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return address;
}

QString withoutMailtoPrefix(const QString &item)
{
    if (item.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return item.mid(7);
    return item;
}

bool isMailAddress(const QString &item)
{
    const QString address = withoutMailtoPrefix(item);
    if (address.isEmpty() || address.startsWith(QLatin1Char('-')) || hasControlCharacter(address))
        return false;
    // No '?', '&', '%' or '/': a mailto: link must not carry headers, attachments or encodings.
    static const QRegularExpression allowed(QStringLiteral("^[\\w.!#$'*+=^`{|}~@-]+$"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    return allowed.match(address).hasMatch() && address.count(QLatin1Char('@')) <= 1;
}

namespace {

// The longest run around `at` of characters that pass `inside`.
Range runAround(const QString &line, int at, const std::function<bool(QChar)> &inside)
{
    int start = std::clamp(at, 0, int(line.size()));
    int end = start;
    while (start > 0 && inside(line.at(start - 1)))
        --start;
    while (end < line.size() && inside(line.at(end)))
        ++end;
    return {start, end - start};
}

} // namespace

std::optional<Range> addressAround(const QString &line, int at, AddressKind kind)
{
    const Range run =
        runAround(line, at, [](QChar c) { return !c.isSpace() && c != u';' && c != QChar::LineSeparator; });
    const QString item = line.mid(run.start, run.length);
    const Range inner = core(item);
    const QString address = item.mid(inner.start, inner.length);
    const bool ok = kind == AddressKind::Web ? webUrl(address).has_value()
                                             : address.contains(u'@') && isMailAddress(address);
    if (!ok)
        return std::nullopt;
    return Range{run.start + inner.start, inner.length};
}

namespace {

bool isNumberCharacter(QChar c)
{
    return c.isDigit() || QStringLiteral("+-/.()").contains(c);
}

bool hasDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// Digit groups joined by "-", "." or "/" ("555-1234", "030/765"): written as a number of its own.
bool isJoinedNumber(QStringView piece)
{
    for (qsizetype i = 1; i + 1 < piece.size(); ++i) {
        if (QStringLiteral("-./").contains(piece.at(i)) && piece.at(i - 1).isDigit() &&
            piece.at(i + 1).isDigit())
            return true;
    }
    return false;
}

// Whether one blank between two pieces of digits parts two numbers rather than two groups of one.
// Groups are written with blanks ("030/765 43 21", "+49 (30) 1234-56"), so only a new number's
// marks part them: its country code, or an area code or a joined number right after a joined
// number ("555-1234 555-9876", "123-4567 (555) 987-6543"). A piece without digits ("/") parts too.
bool blankPartsNumbers(QStringView before, QStringView after)
{
    if (!hasDigit(before) || !hasDigit(after) || after.startsWith(u'+'))
        return true;
    return isJoinedNumber(before) && (isJoinedNumber(after) || after.startsWith(u'('));
}

} // namespace

std::optional<Range> phoneNumberAround(const QString &line, int at)
{
    if (at < 0 || at >= line.size() || !isNumberCharacter(line.at(at)))
        return std::nullopt;
    const QStringView text(line);
    const Range clicked = runAround(line, at, isNumberCharacter);
    Range first = clicked; // the number's first and last piece so far
    Range last = clicked;
    const auto piece = [text](Range r) { return text.mid(r.start, r.length); };
    // The pieces on either side join the number across single blanks; two blanks always part.
    while (first.start >= 2 && line.at(first.start - 1) == u' ' &&
           isNumberCharacter(line.at(first.start - 2))) {
        const Range before = runAround(line, first.start - 1, isNumberCharacter);
        if (blankPartsNumbers(piece(before), piece(first)))
            break;
        first = before;
    }
    while (last.start + last.length + 1 < line.size() && line.at(last.start + last.length) == u' ' &&
           isNumberCharacter(line.at(last.start + last.length + 1))) {
        const Range after = runAround(line, last.start + last.length + 1, isNumberCharacter);
        if (blankPartsNumbers(piece(last), piece(after)))
            break;
        last = after;
    }
    int start = first.start;
    int end = last.start + last.length;
    const auto opens = [](QChar c) { return c.isDigit() || c == u'+' || c == u'('; };
    const auto closes = [](QChar c) { return c.isDigit() || c == u')'; };
    while (start < end && !opens(line.at(start)))
        ++start;
    while (end > start && !closes(line.at(end - 1)))
        --end;
    if (start > at || end <= at || !hasDigit(text.mid(start, end - start)))
        return std::nullopt;
    return Range{start, end - start};
}

bool isPhoneNumber(const QString &item)
{
    const std::optional<Range> number = phoneNumberAround(item, 0);
    return number && number->start == 0 && number->length == item.size();
}

} // namespace NoteAddress
