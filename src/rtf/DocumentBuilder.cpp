#include "DocumentBuilder.h"

#include "TextFormats.h"

#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace rtf {

namespace {

constexpr qreal kTwipsPerPixel = 15.0;
constexpr size_t kFormatCacheSize = 16;

QTextListFormat::Style listStyle(const ListRef &list)
{
    if (list.kind == ListKind::Bullet) {
        switch (list.bullet) {
        case BulletShape::Circle:
            return QTextListFormat::ListCircle;
        case BulletShape::Square:
            return QTextListFormat::ListSquare;
        case BulletShape::Disc:
            break;
        }
        return QTextListFormat::ListDisc;
    }
    switch (list.style) {
    case NumberStyle::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case NumberStyle::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case NumberStyle::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case NumberStyle::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case NumberStyle::Decimal:
        break;
    }
    return QTextListFormat::ListDecimal;
}

bool sameLegacyList(const ListRef &a, const ListRef &b)
{
    return a.kind == b.kind && a.style == b.style && a.bullet == b.bullet && a.level == b.level &&
           a.affix == b.affix;
}

} // namespace

DocumentBuilder::DocumentBuilder(QTextCursor &cursor, bool wholeDocument)
    : m_cursor(cursor), m_whole(wholeDocument), m_hostFormat(cursor.blockFormat())
{
}

void DocumentBuilder::openBlock()
{
    if (m_table && !m_inCell)
        leaveTable();
    if (!m_blockPending)
        return;
    m_blockPending = false;
    m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void DocumentBuilder::text(QStringView run, const CharProps &props)
{
    openBlock();
    m_cursor.insertText(run.toString(), charFormat(props));
}

void DocumentBuilder::paragraphEnd(const ParaProps &props)
{
    openBlock();
    applyParagraph(props);
    m_blockPending = true;
}

void DocumentBuilder::picture(const Picture &picture, const CharProps &props)
{
    openBlock();
    QTextImageFormat format = pictureFormat(m_cursor.document(), picture);
    format.merge(charFormat(props));
    m_cursor.insertImage(format);
}

void DocumentBuilder::cellStart(int columns)
{
    if (!m_table) {
        // The table goes after the paragraph that ended last; what follows it goes into the
        // paragraph Qt puts after every table.
        QTextTableFormat format;
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(3); // until the first row's definition says otherwise
        m_verticalPadding = 3;
        m_table = m_cursor.insertTable(1, std::clamp(columns, 1, 64), format);
        m_row = m_column = 0;
        m_rowEnded = m_widthsSet = false;
    } else if (m_rowEnded) {
        m_table->appendRows(1);
        ++m_row;
        m_column = 0;
        m_rowEnded = false;
    } else if (++m_column >= m_table->columns()) {
        if (m_table->columns() >= 64)
            m_column = m_table->columns() - 1; // more cells than any note needs share the last
        else
            m_table->appendColumns(1);
    }
    m_cursor.setPosition(m_table->cellAt(m_row, m_column).firstPosition());
    m_blockPending = false;
    m_inCell = true;
}

void DocumentBuilder::cellEnd(const ParaProps &props)
{
    openBlock();
    applyParagraph(props);
    m_blockPending = false;
    m_inCell = false;
}

void DocumentBuilder::rowEnd(const RowDefinition &row)
{
    if (!m_table)
        return;
    m_rowEnded = true;
    if (m_lines.size() < static_cast<size_t>(m_row) + 1)
        m_lines.resize(static_cast<size_t>(m_row) + 1);
    for (const CellDefinition &cell : row.cells)
        m_lines[m_row].push_back(cell.lines);
    if (!m_widthsSet)
        takeTableLook(row);
}

// The table's padding and widths come from its first row.
void DocumentBuilder::takeTableLook(const RowDefinition &row)
{
    m_widthsSet = true;
    QTextTableFormat format = m_table->format();
    format.setCellPadding(row.paddingOf(0, SideLeft) / kTwipsPerPixel);
    m_verticalPadding = row.paddingOf(0, SideTop) / kTwipsPerPixel;
    if (row.widthKind == WidthKind::Percent)
        format.setWidth(QTextLength(QTextLength::PercentageLength, row.width / 50.0));
    if (!row.cells.empty() && static_cast<int>(row.cells.size()) == m_table->columns()) {
        QList<QTextLength> widths;
        int left = 0;
        for (const CellDefinition &cell : row.cells) {
            if (cell.widthKind == WidthKind::Automatic)
                widths.append(QTextLength());
            else if (cell.widthKind == WidthKind::Percent)
                widths.append(QTextLength(QTextLength::PercentageLength, cell.width / 50.0));
            else
                widths.append(
                    QTextLength(QTextLength::FixedLength, std::max(cell.right - left, 150) / kTwipsPerPixel));
            left = std::max(left, cell.right);
        }
        format.setColumnWidthConstraints(widths);
    }
    m_table->setFormat(format);
}

// A table with a line on every side of every cell keeps the grid it was made with; any other
// gets lines only where its cells have them (pandoc rules off the header row alone, LibreOffice
// draws a shared edge once). Cells whose padding above and below differs from the table's, as
// Word's usual padding to the left and right only, get theirs.
void DocumentBuilder::drawCellLines()
{
    constexpr unsigned char kAllSides = (1u << kCellSides) - 1;
    bool grid = static_cast<int>(m_lines.size()) == m_table->rows();
    for (const std::vector<unsigned char> &row : m_lines) {
        grid = grid && static_cast<int>(row.size()) >= m_table->columns() &&
               std::all_of(row.begin(), row.end(), [](unsigned char lines) { return lines == kAllSides; });
    }
    const bool ownPadding = m_verticalPadding != m_table->format().cellPadding();
    if (grid && !ownPadding)
        return;
    if (!grid) {
        QTextTableFormat format = m_table->format();
        format.setBorder(0);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        m_table->setFormat(format);
    }
    const QBrush lineBrush = m_table->format().borderBrush();
    for (int row = 0; row < m_table->rows(); ++row) {
        for (int column = 0; column < m_table->columns(); ++column) {
            QTextTableCell cell = m_table->cellAt(row, column);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            if (ownPadding) {
                format.setTopPadding(m_verticalPadding);
                format.setBottomPadding(m_verticalPadding);
            }
            const unsigned char lines = grid || row >= static_cast<int>(m_lines.size()) ||
                                                column >= static_cast<int>(m_lines[row].size())
                                            ? 0
                                            : m_lines[row][column];
            for (int side = 0; side < kCellSides; ++side) {
                if (!(lines & (1u << side)))
                    continue;
                const CellSideProperties &property = kCellSideProperties[side];
                format.setProperty(property.width, 1.0);
                format.setProperty(property.style, int(QTextFrameFormat::BorderStyle_Solid));
                format.setProperty(property.brush, lineBrush);
            }
            cell.setFormat(format);
        }
    }
}

void DocumentBuilder::leaveTable()
{
    drawCellLines();
    m_lines.clear();
    m_cursor.setPosition(m_table->lastPosition() + 1);
    m_table = nullptr;
    m_inCell = false;
    m_blockPending = false;
}

void DocumentBuilder::finish(const ParaProps &lastProps)
{
    if (m_table) {
        if (m_inCell)
            cellEnd(lastProps);
        leaveTable();
    }
    if (m_blockPending) {
        // Inserted content that ends in a paragraph mark splits the host paragraph; a whole
        // document's closing \par is its last paragraph's mark, not a new empty paragraph.
        if (!m_whole)
            m_cursor.insertBlock(m_hostFormat);
        m_blockPending = false;
        return;
    }
    if (m_whole)
        applyParagraph(lastProps);
}

void DocumentBuilder::applyParagraph(const ParaProps &props)
{
    m_cursor.setBlockFormat(blockFormat(props));
    QTextBlock block = m_cursor.block();
    if (props.list.kind == ListKind::None) {
        if (QTextList *current = block.textList())
            current->remove(block);
        m_openLegacy.clear();
        return;
    }
    if (QTextList *list = listFor(props.list)) {
        if (block.textList() != list)
            list->add(block);
        return;
    }
    QTextListFormat format;
    format.setStyle(listStyle(props.list));
    format.setIndent(props.list.level + 1);
    if (props.list.kind == ListKind::Numbered && props.list.affix >= 0 &&
        props.list.affix < static_cast<int>(m_tables->listAffixes.size())) {
        const ListAffix &affix = m_tables->listAffixes[props.list.affix];
        format.setNumberPrefix(affix.prefix);
        if (!affix.suffix.isEmpty())
            format.setNumberSuffix(affix.suffix);
    }
    QTextList *created = m_cursor.createList(format);
    if (props.list.key >= 0) {
        m_wordLists[{props.list.key, props.list.level}] = created;
    } else {
        m_openLegacy.resize(props.list.level);
        m_openLegacy.emplace_back(props.list, created);
    }
}

QTextList *DocumentBuilder::listFor(const ListRef &list)
{
    if (list.key >= 0) {
        // Word numbers a list across the paragraphs between its items; an item ends the lists
        // nested below it, so their numbering starts again.
        m_wordLists.erase(m_wordLists.upper_bound({list.key, list.level}),
                          m_wordLists.lower_bound({list.key, 9}));
        const auto it = m_wordLists.find({list.key, list.level});
        return it == m_wordLists.end() ? nullptr : it->second.data();
    }
    // Rich edit repeats the numbering definition per paragraph; consecutive paragraphs with the
    // same definition continue one list, deeper levels nest inside it.
    if (list.level < static_cast<int>(m_openLegacy.size()) &&
        sameLegacyList(m_openLegacy[list.level].first, list)) {
        m_openLegacy.resize(list.level + 1);
        return m_openLegacy[list.level].second.data();
    }
    return nullptr;
}

const QTextCharFormat &DocumentBuilder::charFormat(const CharProps &props)
{
    for (size_t i = 0; i < m_formats.size(); ++i) {
        if (m_formats[i].first == props) {
            if (i > 0)
                std::swap(m_formats[i], m_formats[i - 1]); // keep the frequent ones in front
            return m_formats[i > 0 ? i - 1 : 0].second;
        }
    }
    QTextCharFormat format;
    if (const FontEntry *font = m_tables->font(props.font); font && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    format.setFontPointSize(props.halfPoints / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    switch (props.underline) {
    case Underline::None:
        break;
    case Underline::Single:
        format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    case Underline::Dotted:
        format.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case Underline::Dash:
        format.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case Underline::Wave:
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    }
    if (props.strike)
        format.setFontStrikeOut(true);
    if (const auto color = m_tables->color(props.foreground))
        format.setForeground(*color);
    if (const auto color = m_tables->color(props.background))
        format.setBackground(*color);
    if (props.valign == VAlign::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.valign == VAlign::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (props.caps == Caps::All)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.caps == Caps::Small)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.link >= 0 && props.link < static_cast<int>(m_tables->links.size())) {
        format.setAnchor(true);
        format.setAnchorHref(m_tables->links[props.link]);
    }
    if (m_formats.size() >= kFormatCacheSize)
        m_formats.pop_back();
    m_formats.emplace_back(props, format);
    return m_formats.back().second;
}

QTextBlockFormat DocumentBuilder::blockFormat(const ParaProps &props) const
{
    QTextBlockFormat format;
    switch (props.align) {
    case Align::Left:
        format.setAlignment(Qt::AlignLeft);
        break;
    case Align::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case Align::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    if (props.list.kind == ListKind::None) {
        format.setLeftMargin(props.leftIndent / kTwipsPerPixel);
        format.setTextIndent(props.firstIndent / kTwipsPerPixel);
    } else {
        // A list draws its own indent and label; the usual half inch per level and the hanging
        // indent that makes room for the label are the list's, only what goes beyond them is the
        // paragraph's own.
        constexpr int kSlack = 80; // producers round the usual measures (LibreOffice: 709, -283)
        const int extraLeft = props.leftIndent - 720 * (props.list.level + 1);
        const int extraFirst = props.firstIndent + 360;
        if (extraLeft > kSlack)
            format.setLeftMargin(extraLeft / kTwipsPerPixel);
        if (extraFirst > kSlack || extraFirst < -kSlack)
            format.setTextIndent(extraFirst / kTwipsPerPixel);
    }
    format.setRightMargin(props.rightIndent / kTwipsPerPixel);
    format.setTopMargin(props.spaceBefore / kTwipsPerPixel);
    format.setBottomMargin(props.spaceAfter / kTwipsPerPixel);
    if (props.lineSpacing > 0 && props.lineMultiple)
        format.setLineHeight(props.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (props.lineSpacing > 0)
        format.setLineHeight(props.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else if (props.lineSpacing < 0)
        format.setLineHeight(-props.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    if (props.tabs >= 0 && props.tabs < static_cast<int>(m_tables->tabSets.size())) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop &stop : m_tables->tabSets[props.tabs])
            tabs.append(QTextOption::Tab(stop.position / kTwipsPerPixel, qtTabType(stop.kind),
                                         stop.kind == TabKind::Decimal ? QChar(u'.') : QChar()));
        format.setTabPositions(tabs);
    }
    return format;
}

void PlainTextCollector::text(QStringView run, const CharProps &)
{
    if (m_pendingBreak) {
        result += u'\n';
        m_pendingBreak = false;
    }
    // Copied with the characters QTextDocument::toPlainText turns into plain ones replaced, in
    // one pass the compiler can run on many characters at once.
    const qsizetype start = result.size();
    result.resize(start + run.size());
    char16_t *out = reinterpret_cast<char16_t *>(result.data()) + start;
    const char16_t *in = run.utf16();
    for (qsizetype i = 0, n = run.size(); i < n; ++i) {
        const char16_t c = in[i];
        out[i] = (c == 0x2028 || c == 0x2029) ? u'\n' : c == 0x00A0 ? u' ' : c;
    }
}

void PlainTextCollector::paragraphEnd(const ParaProps &)
{
    if (m_pendingBreak)
        result += u'\n';
    m_pendingBreak = true;
}

void PlainTextCollector::picture(const Picture &, const CharProps &) {}

void PlainTextCollector::finish(const ParaProps &) {}

} // namespace rtf
