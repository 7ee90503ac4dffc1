#include "NoteAddress.h"

#include <QRegularExpression>
#include <QUrl>

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

} // namespace NoteAddress
