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

std::optional<Range> phoneNumberAround(const QString &line, int at)
{
    const auto isNumberPart = [](QChar c) {
        return c.isDigit() || c == u' ' || QStringLiteral("+-/.()").contains(c);
    };
    if (at < 0 || at >= line.size() || !isNumberPart(line.at(at)) || line.at(at) == u' ')
        return std::nullopt;
    Range run = runAround(line, at, isNumberPart);
    int start = run.start;
    int end = run.start + run.length;
    const auto opens = [](QChar c) { return c.isDigit() || c == u'+' || c == u'('; };
    const auto closes = [](QChar c) { return c.isDigit() || c == u')'; };
    while (start < end && !opens(line.at(start)))
        ++start;
    while (end > start && !closes(line.at(end - 1)))
        --end;
    const QStringView number = QStringView(line).mid(start, end - start);
    if (start > at || end <= at ||
        std::none_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    return Range{start, end - start};
}

} // namespace NoteAddress
