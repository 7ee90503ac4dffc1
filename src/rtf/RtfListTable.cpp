#include "RtfListTable.h"

#include "AppendNumber.h"

#include <QTextList>

#include <algorithm>

namespace rtf {

namespace {

int levelOf(const QTextListFormat &format)
{
    return std::clamp(format.indent() - 1, 0, 8);
}

bool isBullet(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

// Word's number format codes.
int numberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    case QTextListFormat::ListDecimal:
        return 0;
    default:
        return 23; // bullet
    }
}

const char *bulletCharacter(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListCircle:
        return "\\u9702 ?"; // white bullet
    case QTextListFormat::ListSquare:
        return "\\u9642 ?"; // small black square
    default:
        return "\\u8226 ?";
    }
}

// The table is written for every save of a note with lists, nine levels to a list, so it is
// appended piece by piece rather than built from temporaries.
void appendHexByte(QByteArray &out, int value)
{
    static const char digits[] = "0123456789abcdef";
    const char escape[] = {'\\', '\'', digits[(value >> 4) & 15], digits[value & 15]};
    out.append(escape, sizeof escape);
}

} // namespace

ListTable::Level ListTable::levelFor(const QTextListFormat &format)
{
    Level level;
    level.defined = true;
    level.style = format.style();
    if (!isBullet(level.style)) {
        level.prefix = format.numberPrefix();
        // Qt draws "." after the number unless the list says otherwise.
        level.suffix =
            format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix() : QStringLiteral(".");
    }
    return level;
}

bool ListTable::fits(const Level &level, const QTextListFormat &format)
{
    const Level wanted = levelFor(format);
    return !level.defined ||
           (level.style == wanted.style && level.prefix == wanted.prefix && level.suffix == wanted.suffix);
}

void ListTable::enter(int index, const QTextList *list, int level)
{
    WordList &word = m_lists[index];
    if (!word.levels[level].defined)
        word.levels[level] = levelFor(list->format());
    word.open[level] = list;
    // An item ends the lists nested below it.
    std::fill(word.open.begin() + level + 1, word.open.end(), nullptr);
    m_listOf[list] = index;
    m_current = index;
}

ListTable::Use ListTable::paragraphIn(const QTextList *list)
{
    if (!list) {
        m_current = -1;
        return {};
    }
    const int level = levelOf(list->format());
    int index = -1;
    if (const auto known = m_listOf.find(list); known != m_listOf.end()) {
        index = known->second; // continued after other paragraphs
    } else if (m_current >= 0 && !m_lists[m_current].open[level] &&
               fits(m_lists[m_current].levels[level], list->format())) {
        index = m_current; // a list nested in the one before
    } else {
        index = static_cast<int>(m_lists.size());
        m_lists.emplace_back();
    }
    enter(index, list, level);
    return {index + 1, level};
}

QByteArray ListTable::write(const std::function<QByteArray(const QString &)> &escapeText) const
{
    QByteArray out;
    out.reserve(64 + 1280 * static_cast<qsizetype>(m_lists.size()));
    out += "{\\*\\listtable";
    for (size_t i = 0; i < m_lists.size(); ++i) {
        const WordList &word = m_lists[i];
        // Depths no paragraph used take the look of the first one that was.
        const Level *fallback =
            &*std::find_if(word.levels.begin(), word.levels.end(), [](const Level &l) { return l.defined; });
        out += "\r\n{\\list\\listtemplateid";
        appendNumber(out, static_cast<int>(i) + 1);
        for (int depth = 0; depth < 9; ++depth) {
            const Level &level = word.levels[depth].defined ? word.levels[depth] : *fallback;
            const int nfc = numberFormat(level.style);
            out += "{\\listlevel\\levelnfc";
            appendNumber(out, nfc);
            out += "\\levelnfcn";
            appendNumber(out, nfc);
            out += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext";
            if (nfc == 23) {
                out += "\\'01";
                out += bulletCharacter(level.style);
                out += ";}{\\levelnumbers;}";
            } else {
                appendHexByte(out, static_cast<int>(level.prefix.size() + 1 + level.suffix.size()));
                out += escapeText(level.prefix);
                appendHexByte(out, depth);
                out += escapeText(level.suffix);
                out += ";}{\\levelnumbers";
                appendHexByte(out, static_cast<int>(level.prefix.size()) + 1);
                out += ";}";
            }
            out += "\\fi-360\\li";
            appendNumber(out, 720 * (depth + 1));
            out += "\\lin";
            appendNumber(out, 720 * (depth + 1));
            out += '}';
        }
        out += "\\listid";
        appendNumber(out, static_cast<int>(i) + 1);
        out += '}';
    }
    out += "}\r\n{\\*\\listoverridetable";
    for (size_t i = 0; i < m_lists.size(); ++i) {
        out += "{\\listoverride\\listid";
        appendNumber(out, static_cast<int>(i) + 1);
        out += "\\listoverridecount0\\ls";
        appendNumber(out, static_cast<int>(i) + 1);
        out += '}';
    }
    out += "}\r\n";
    return out;
}

} // namespace rtf
