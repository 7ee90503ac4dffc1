#include "RtfDocumentWriter.h"

#include "AppendNumber.h"
#include "CodePages.h"
#include "RtfParagraphCache.h"
#include "TextFormats.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>

namespace rtf {

namespace {

const char *numberingWord(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
        return "pnlcltr";
    case QTextListFormat::ListUpperAlpha:
        return "pnucltr";
    case QTextListFormat::ListLowerRoman:
        return "pnlcrm";
    case QTextListFormat::ListUpperRoman:
        return "pnucrm";
    default:
        return "pndec";
    }
}

bool isBullet(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

int charsetOf(const QString &family)
{
    return family.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 ? 2 : 0;
}

// A note has few formats and many fragments and paragraphs, so what a format writes is worked out
// once and kept by the document's index of the format.
template <typename Look, typename Make>
const Look &lookByIndex(std::vector<Look> &known, Look &scratch, int index, Make make)
{
    if (index < 0 || index > 100000) {
        scratch = make();
        return scratch;
    }
    if (index >= static_cast<int>(known.size()))
        known.resize(static_cast<size_t>(index) + 1);
    Look &look = known[static_cast<size_t>(index)];
    if (!look.known) {
        look = make();
        look.known = true;
    }
    return look;
}

} // namespace

DocumentWriter::DocumentWriter(const QTextDocument *doc, ParagraphCache *cache) : m_doc(doc), m_cache(cache)
{
    if (m_cache)
        m_cache->beginWrite(doc);
    const QFont base = doc->defaultFont();
    m_defaultPointSize = base.pointSizeF() > 0 ? base.pointSizeF() : 12;
    // \deff0; a document without a default family still needs a real font name there.
    fontIndex(base.family().isEmpty() ? QStringLiteral("Arial") : base.family());
}

QByteArray DocumentWriter::write(int from, int to, bool wholeDocument)
{
    if (!wholeDocument)
        m_cache = nullptr; // kept paragraphs always end with their paragraph mark
    else if (!m_cache)
        m_rawText = m_doc->toRawText();
    m_body.reserve(static_cast<size_t>(std::max(0, to - from)) * 2 + 64);
    m_current = propsFor(QTextCharFormat());
    // Start every document from the same explicit state so readers with other defaults agree.
    word("pard");
    word("f", m_current.font);
    word("fs", m_current.halfPoints);
    if (from < to || wholeDocument) {
        const bool mayHoldTables = !m_doc->rootFrame()->childFrames().isEmpty();
        // A block's position is a walk through the document's tree: a whole document, where
        // every block counts, does without.
        for (QTextBlock block = m_doc->findBlock(from);
             block.isValid() && (wholeDocument || block.position() <= to); block = block.next()) {
            const bool withMark = wholeDocument || block.position() + block.length() - 1 < to;
            if (!wholeDocument && block.position() == to && to != from)
                break;
            if (const QTextTable *table = mayHoldTables ? tableOf(block) : nullptr;
                table && (wholeDocument || (from < table->firstPosition() && to > table->lastPosition()))) {
                writeTable(table);
                block = m_doc->findBlock(table->lastPosition());
                continue;
            }
            if (m_cache) {
                writeWholeBlock(block);
                continue;
            }
            writeBlock(block, from, to, withMark ? "par" : nullptr);
            if (!withMark)
                break;
        }
    }
    closeLink();
    if (m_cache)
        m_cache->endWrite(m_fonts, m_colors);

    QByteArray out;
    out.reserve(static_cast<qsizetype>(m_body.size()) + 512);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + QByteArray::number(m_fontCharsets[i]) +
               ' ' + escaped(m_fonts[i]) + ";}";
    }
    out += "}\r\n";
    if (!m_colors.empty()) {
        out += "{\\colortbl ;";
        for (const QColor &c : m_colors) {
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                   "\\blue" + QByteArray::number(c.blue()) + ';';
        }
        out += "}\r\n";
    }
    if (!m_listTable.isEmpty())
        out += m_listTable.write([this](const QString &s) { return escaped(s); });
    out += "{\\*\\generator Quillbox Plus;}\\viewkind4\\uc1 \r\n";
    out.append(m_body.data(), static_cast<qsizetype>(m_body.size()));
    out += "}\r\n";
    return out;
}

void DocumentWriter::writeBlock(const QTextBlock &block, int from, int to, const char *endWord)
{
    writeParagraphProps(block);
    // A paragraph's fragments follow one another from its start, so their positions add up from
    // their lengths (asking a fragment for its position walks the document's tree).
    int position = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        Q_ASSERT(fragment.position() == position);
        const int fragmentStart = position;
        position += fragment.length();
        const int start = std::max(from, fragmentStart);
        const int end = std::min(to, position);
        if (start >= end)
            continue;
        const CharLook &look = charLookOf(fragment);
        if (look.href != m_link) {
            closeLink();
            if (!look.href.isEmpty())
                openLink(look.href);
        }
        switchTo(look.props);
        if (look.image) {
            const QTextImageFormat image = fragment.charFormat().toImageFormat();
            for (int i = start; i < end; ++i)
                writeImage(image);
        } else {
            text(fragmentText(fragment, fragmentStart, start, end));
        }
    }
    closeLink();
    if (endWord) {
        word(endWord);
        m_body += "\r\n";
        m_needSpace = false;
    }
}

QStringView DocumentWriter::fragmentText(const QTextFragment &fragment, int fragmentStart, int from, int to)
{
    if (!m_rawText.isEmpty())
        return QStringView(m_rawText).sliced(from, to - from);
    m_fragmentText = fragment.text();
    return QStringView(m_fragmentText).sliced(from - fragmentStart, to - from);
}

void DocumentWriter::writeWholeBlock(const QTextBlock &block)
{
    // Counted along the walk (finding a paragraph's number walks the document's tree).
    const int number = m_nextNumber >= 0 ? m_nextNumber : block.blockNumber();
    m_nextNumber = number + 1;
    Q_ASSERT(number == block.blockNumber());
    // A paragraph no reported change touched needs no reading (list items and pictures, never
    // kept, always do).
    if (const ParagraphCache::Entry *kept = m_cache->untouched(
            number, m_current, static_cast<int>(m_fonts.size()), static_cast<int>(m_colors.size()))) {
        writeKept(*kept);
        return;
    }
    ParagraphCache::Key &key = m_key;
    key.text.clear();
    key.runs.clear();
    key.blockFormat = block.blockFormatIndex();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        key.text += fragment.text();
        key.runs.push_back(fragment.charFormatIndex());
        key.runs.push_back(fragment.length());
    }
    // A list item's label counts the items before it, and a picture's bytes live in the
    // document's resources: neither can be told from the paragraph alone.
    if (paragraphLookOf(block).list || key.text.contains(QChar::ObjectReplacementCharacter)) {
        ++m_cache->m_encoded;
        writeBlock(block, block.position(), block.position() + block.length(), "par");
        return;
    }
    key.before = m_current;
    key.fonts = static_cast<int>(m_fonts.size());
    key.colors = static_cast<int>(m_colors.size());

    if (const ParagraphCache::Entry *kept = m_cache->find(key, number)) {
        writeKept(*kept);
        return;
    }
    ++m_cache->m_encoded;
    const size_t start = m_body.size();
    writeBlock(block, block.position(), block.position() + block.length(), "par");
    m_cache->keep(key, number,
                  QByteArray(m_body.data() + start, static_cast<qsizetype>(m_body.size() - start)), m_current,
                  static_cast<int>(m_fonts.size()), static_cast<int>(m_colors.size()));
}

void DocumentWriter::writeKept(const ParagraphCache::Entry &kept)
{
    m_listTable.paragraphIn(nullptr);
    append(kept.bytes);
    m_needSpace = false;
    m_current = kept.after;
    // The fonts and colours this paragraph brought in, at the places they had before.
    while (m_fonts.size() < kept.fontsAfter) {
        const QString &family = m_cache->m_fonts[m_fonts.size()];
        m_fonts.append(family);
        m_fontCharsets.push_back(charsetOf(family));
    }
    while (static_cast<int>(m_colors.size()) < kept.colorsAfter)
        m_colors.push_back(m_cache->m_colors[m_colors.size()]);
}

void DocumentWriter::writeParagraphProps(const QTextBlock &block)
{
    const ParagraphLook &look = paragraphLookOf(block);
    word("pard");
    if (m_inTable)
        word("intbl");
    const ListTable::Use inList = m_listTable.paragraphIn(look.list);
    if (const QTextList *list = look.list) {
        const QTextListFormat lf = list->format();
        const int level = std::max(0, lf.indent() - 1);
        // The label first as plain text, for readers that know no numbering; then the numbering
        // definition that rich edit, Word and LibreOffice turn back into a list.
        if (isBullet(lf.style())) {
            const int symbol = symbolFont();
            m_body += "{\\pntext\\f";
            appendNumber(m_body, symbol);
            m_body += "\\'B7\\tab}{\\*\\pn\\pnlvlblt";
            if (level > 0) {
                m_body += "\\pnlvl";
                appendNumber(m_body, level + 1);
            }
            m_body += "\\pnf";
            appendNumber(m_body, symbol);
            m_body += "\\pnindent0{\\pntxtb\\'B7}}";
        } else {
            m_body += "{\\pntext\\f0 ";
            m_needSpace = false;
            text(list->itemText(block));
            m_body += "\\tab}{\\*\\pn\\pnlvlbody";
            if (level > 0) {
                m_body += "\\pnlvl";
                appendNumber(m_body, level + 1);
            }
            m_body += "\\pnf0\\pnindent0\\pnstart1\\";
            m_body += numberingWord(lf.style());
            if (!lf.numberPrefix().isEmpty()) {
                m_body += "{\\pntxtb ";
                text(lf.numberPrefix());
                m_body += '}';
            }
            m_body += "{\\pntxta ";
            // Qt draws "." after the number unless the list says otherwise.
            text(lf.hasProperty(QTextFormat::ListNumberSuffix) ? lf.numberSuffix() : QStringLiteral("."));
            m_body += "}}";
        }
        m_needSpace = false;
        word("ls", inList.ls);
        word("ilvl", inList.level);
        word("fi", -360 + look.firstIndent);
        word("li", 720 * (level + 1) + look.ownIndent);
    } else {
        if (look.firstIndent != 0)
            word("fi", look.firstIndent);
        if (look.ownIndent != 0)
            word("li", look.ownIndent);
    }
    if (!look.tail.empty()) {
        m_body += look.tail;
        m_needSpace = true;
    }
}

void DocumentWriter::writeImage(const QTextImageFormat &format)
{
    if (const QVariant raw = format.property(kRawPictureProperty); raw.userType() == QMetaType::QByteArray) {
        append(raw.toByteArray()); // a picture we could not draw goes back as it came
        m_needSpace = false;
        return;
    }
    const QVariant resource = m_doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
    QByteArray data;
    bool jpeg = false;
    if (resource.userType() == QMetaType::QByteArray) {
        data = resource.toByteArray();
        jpeg = data.startsWith("\xFF\xD8");
        if (!jpeg && !data.startsWith("\x89PNG"))
            data = QByteArray(); // only PNG and JPEG are written as they are
    }
    if (data.isEmpty()) {
        QImage image;
        if (resource.userType() == QMetaType::QImage)
            image = resource.value<QImage>();
        else if (resource.userType() == QMetaType::QPixmap)
            image = resource.value<QPixmap>().toImage();
        else if (resource.userType() == QMetaType::QByteArray)
            image.loadFromData(resource.toByteArray());
        if (image.isNull())
            return; // nothing we can write; the rest of the note is still saved
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    const int width = format.width() > 0 ? qRound(format.width()) : size.width();
    const int height = format.height() > 0 ? qRound(format.height()) : size.height();
    // In a {\shppict} group, where Word and LibreOffice look for PNG and JPEG pictures.
    m_body += jpeg ? "{\\*\\shppict{\\pict\\jpegblip" : "{\\*\\shppict{\\pict\\pngblip";
    m_body += "\\picw";
    appendNumber(m_body, size.width());
    m_body += "\\pich";
    appendNumber(m_body, size.height());
    m_body += "\\picwgoal";
    appendNumber(m_body, twips(width));
    m_body += "\\pichgoal";
    appendNumber(m_body, twips(height));
    m_body += "\r\n";
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        append(QByteArrayView(hex).sliced(i, std::min<qsizetype>(128, hex.size() - i)));
        m_body += "\r\n";
    }
    m_body += "}}";
    m_needSpace = false;
}

void DocumentWriter::switchTo(const CharProps &p)
{
    CharProps &c = m_current;
    if (p.font != c.font)
        word("f", p.font);
    if (p.halfPoints != c.halfPoints)
        word("fs", p.halfPoints);
    if (p.bold != c.bold)
        p.bold ? word("b") : word("b", 0);
    if (p.italic != c.italic)
        p.italic ? word("i") : word("i", 0);
    if (p.underline != c.underline) {
        switch (p.underline) {
        case Underline::None:
            word("ulnone");
            break;
        case Underline::Single:
            word("ul");
            break;
        case Underline::Dotted:
            word("uld");
            break;
        case Underline::Dash:
            word("uldash");
            break;
        case Underline::Wave:
            word("ulwave");
            break;
        }
    }
    if (p.strike != c.strike)
        p.strike ? word("strike") : word("strike", 0);
    if (p.foreground != c.foreground)
        word("cf", p.foreground);
    if (p.background != c.background)
        word("highlight", p.background);
    if (p.valign != c.valign)
        word(p.valign == VAlign::Super ? "super" : p.valign == VAlign::Sub ? "sub" : "nosupersub");
    if (p.caps != c.caps) {
        if (c.caps == Caps::All)
            word("caps", 0);
        if (c.caps == Caps::Small)
            word("scaps", 0);
        if (p.caps != Caps::None)
            word(p.caps == Caps::All ? "caps" : "scaps");
    }
    c = p;
}

void DocumentWriter::openLink(const QString &href)
{
    m_outsideLink = m_current;
    m_link = href;
    m_body += "{\\field{\\*\\fldinst{HYPERLINK ";
    m_needSpace = false;
    QString target = href;
    target.replace(u'"', QLatin1String("%22"));
    if (target.startsWith(u'#'))
        text(QLatin1String("\\l \"") + target.mid(1) + u'"');
    else
        text(u'"' + target + u'"');
    m_body += "}}{\\fldrslt{";
    m_needSpace = false;
}

void DocumentWriter::closeLink()
{
    if (m_link.isEmpty())
        return;
    m_body += "}}}";
    m_needSpace = false;
    m_current = m_outsideLink; // the groups restored what was in force before the link
    m_link.clear();
}

const DocumentWriter::CharLook &DocumentWriter::charLookOf(const QTextFragment &fragment)
{
    return lookByIndex(m_charLooks, m_scratchCharLook, fragment.charFormatIndex(),
                       [&] { return charLookFor(fragment.charFormat()); });
}

DocumentWriter::CharLook DocumentWriter::charLookFor(const QTextCharFormat &format)
{
    CharLook look;
    look.image = format.isImageFormat();
    look.props = propsFor(format);
    if (format.isAnchor())
        look.href = format.anchorHref();
    return look;
}

const DocumentWriter::ParagraphLook &DocumentWriter::paragraphLookOf(const QTextBlock &block)
{
    // The list too follows from the format: Qt joins a list's paragraphs through it.
    return lookByIndex(m_paragraphLooks, m_scratchParagraphLook, block.blockFormatIndex(),
                       [&] { return paragraphLookFor(block); });
}

DocumentWriter::ParagraphLook DocumentWriter::paragraphLookFor(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    ParagraphLook look;
    look.list = block.textList();
    look.firstIndent = twips(format.textIndent());
    look.ownIndent = twips(format.leftMargin() + format.indent() * m_doc->indentWidth());
    look.tail = captured([&] {
        if (const int ri = twips(format.rightMargin()); ri != 0)
            word("ri", ri);
        if (const int sb = twips(format.topMargin()); sb != 0)
            word("sb", sb);
        if (const int sa = twips(format.bottomMargin()); sa != 0)
            word("sa", sa);
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (format.lineHeight() != 100) {
                word("sl", static_cast<int>(std::lround(format.lineHeight() * 240 / 100)));
                word("slmult", 1);
            }
            break;
        case QTextBlockFormat::MinimumHeight:
            word("sl", twips(format.lineHeight()));
            word("slmult", 0);
            break;
        case QTextBlockFormat::FixedHeight:
            word("sl", -twips(format.lineHeight()));
            word("slmult", 0);
            break;
        default:
            break;
        }
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            word("qc");
        else if (align & Qt::AlignJustify)
            word("qj");
        else if (align & (Qt::AlignRight))
            word("qr");
        for (const QTextOption::Tab &tab : format.tabPositions()) {
            if (tab.type == QTextOption::RightTab)
                word("tqr");
            else if (tab.type == QTextOption::CenterTab)
                word("tqc");
            else if (tab.type == QTextOption::DelimiterTab)
                word("tqdec");
            word("tx", twips(tab.position));
        }
    });
    return look;
}

CharProps DocumentWriter::propsFor(const QTextCharFormat &format)
{
    CharProps p;
    const QVariant families = format.property(QTextFormat::FontFamilies);
    QString family;
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().constFirst();
    p.font = family.isEmpty() ? 0 : fontIndex(family);
    const double size = shownPointSize(format, m_defaultPointSize);
    p.halfPoints = std::max(2, static_cast<int>(std::lround(size * 2)));
    p.bold = format.fontWeight() >= QFont::DemiBold;
    p.italic = format.fontItalic();
    switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        p.underline = format.fontUnderline() ? Underline::Single : Underline::None;
        break;
    case QTextCharFormat::DotLine:
        p.underline = Underline::Dotted;
        break;
    case QTextCharFormat::DashUnderline:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine:
        p.underline = Underline::Dash;
        break;
    case QTextCharFormat::WaveUnderline:
    case QTextCharFormat::SpellCheckUnderline:
        p.underline = Underline::Wave;
        break;
    default:
        p.underline = Underline::Single;
        break;
    }
    p.strike = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        p.foreground = colorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        p.background = colorIndex(format.background().color());
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        p.valign = VAlign::Super;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        p.valign = VAlign::Sub;
    if (format.hasProperty(QTextFormat::FontCapitalization)) {
        if (format.fontCapitalization() == QFont::AllUppercase)
            p.caps = Caps::All;
        else if (format.fontCapitalization() == QFont::SmallCaps)
            p.caps = Caps::Small;
    }
    return p;
}

int DocumentWriter::fontIndex(const QString &family)
{
    const qsizetype i = m_fonts.indexOf(family);
    if (i >= 0)
        return static_cast<int>(i);
    if (m_cache)
        m_cache->fontAdded(static_cast<int>(m_fonts.size()), family);
    m_fonts.append(family);
    m_fontCharsets.push_back(charsetOf(family));
    return static_cast<int>(m_fonts.size() - 1);
}

int DocumentWriter::colorIndex(const QColor &color)
{
    const QColor rgb = color.toRgb();
    for (size_t i = 0; i < m_colors.size(); ++i) {
        if (m_colors[i].rgb() == rgb.rgb())
            return static_cast<int>(i + 1);
    }
    if (m_cache)
        m_cache->colorAdded(static_cast<int>(m_colors.size()), rgb);
    m_colors.push_back(rgb);
    return static_cast<int>(m_colors.size());
}

bool DocumentWriter::symbolFontInUse() const
{
    // Readers decode a symbol font's bytes as glyph numbers, so only \u keeps its characters.
    const int font = m_current.font;
    return font >= 0 && font < static_cast<int>(m_fontCharsets.size()) && m_fontCharsets[font] == 2;
}

int DocumentWriter::symbolFont()
{
    return fontIndex(QStringLiteral("Symbol"));
}

QByteArray DocumentWriter::escaped(QStringView s)
{
    const std::string bytes = captured([&] { text(s); });
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void DocumentWriter::word(const char *name)
{
    m_body += '\\';
    m_body += name;
    m_needSpace = true;
}

void DocumentWriter::word(const char *name, int value)
{
    m_body += '\\';
    m_body += name;
    appendNumber(m_body, value);
    m_needSpace = true;
}

void DocumentWriter::text(QStringView s)
{
    static const char hexDigits[] = "0123456789abcdef";
    const char16_t *chars = s.utf16();
    const qsizetype size = s.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = chars[i];
        if (ch >= 0x20 && ch < 0x7F && ch != u'\\' && ch != u'{' && ch != u'}') {
            // Most of a note is plain ASCII: copy the whole stretch at once.
            qsizetype end = i + 1;
            while (end < size && chars[end] >= 0x20 && chars[end] < 0x7F && chars[end] != u'\\' &&
                   chars[end] != u'{' && chars[end] != u'}')
                ++end;
            if (m_needSpace) {
                m_body += ' ';
                m_needSpace = false;
            }
            const size_t at = m_body.size();
            m_body.resize(at + static_cast<size_t>(end - i));
            char *out = m_body.data() + at;
            for (qsizetype k = i; k < end; ++k)
                *out++ = static_cast<char>(chars[k]);
            i = end - 1;
            continue;
        }
        if (ch == u'\\' || ch == u'{' || ch == u'}') {
            m_body += '\\';
            m_body += static_cast<char>(ch);
            m_needSpace = false;
        } else if (ch >= 0x20 && ch < 0x7F) {
            if (m_needSpace) {
                m_body += ' ';
                m_needSpace = false;
            }
            m_body += static_cast<char>(ch);
        } else if (ch == u'\t') {
            word("tab");
        } else if (ch == 0x2028 || ch == 0x2029 || ch == u'\n') {
            word("line");
        } else if (ch == 0x00A0) {
            m_body += "\\~";
            m_needSpace = false;
        } else if (ch == 0x00AD) {
            m_body += "\\-";
            m_needSpace = false;
        } else if (ch < 0x20 || ch == 0x7F || ch == 0xFFFC) {
            continue; // control characters and stray object marks have no place in the text
        } else if (unsigned char byte = 0; !symbolFontInUse() && cp1252Byte(ch, byte)) {
            m_body += "\\'";
            m_body += hexDigits[byte >> 4];
            m_body += hexDigits[byte & 15];
            m_needSpace = false;
        } else {
            m_body += "\\u";
            appendNumber(m_body, static_cast<short>(ch));
            m_body += '?';
            m_needSpace = false;
        }
    }
}

} // namespace rtf
