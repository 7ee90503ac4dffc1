#include "RtfParser.h"

#include "CodePages.h"

#include <algorithm>
#include <string_view>

namespace rtf {

namespace {

// Deeper nesting than this is only seen in damaged or hostile files; groups beyond it share the
// deepest state so memory stays proportional to what documents really use.
constexpr int kMaxDepth = 1024;

bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

BulletShape bulletShapeOf(QStringView label)
{
    for (const QChar c : label) {
        switch (c.unicode()) {
        case u'o':
        case 0x25E6: // white bullet
        case 0x25CB: // white circle
        case 0xF06F: // 'o' in a symbol font
        case 0xE009: // LibreOffice's circle in its OpenSymbol font
            return BulletShape::Circle;
        case 0x25AA: // small black square
        case 0x25A0:
        case 0x25FE:
        case 0xF0A7: // Wingdings square
        case 0xF0A8:
        case 0x00A7: // the same square when the font's page is not known
        case 0xE00A: // LibreOffice's square in OpenSymbol
            return BulletShape::Square;
        case u' ':
        case u'\t':
            continue;
        default:
            return BulletShape::Disc;
        }
    }
    return BulletShape::Disc;
}

Parser::Parser(QByteArrayView data, Sink &sink)
    : m_tokens(data), m_sink(sink), m_formatted(sink.wantsFormatting()), m_data(data)
{
    m_stack.reserve(16); // the nesting notes use; deeper files grow it
    m_sink.attach(&m_tables);
}

void Parser::groupStart(bool)
{
    flushBytes();
    if (m_stack.empty()) {
        State root;
        m_stack.push_back(root);
        return;
    }
    if (static_cast<int>(m_stack.size()) >= kMaxDepth) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void Parser::groupEnd()
{
    flushBytes();
    m_skip = 0; // a \uc fallback never reaches past its group
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() == 1)
        m_lastParagraph = effectiveParagraph(); // the document's last paragraph may have no \par
    const State closing = m_stack.back();
    m_stack.pop_back();
    const Dest outer = m_stack.empty() ? Dest::Skip : m_stack.back().dest;

    switch (closing.dest) {
    case Dest::FontTable:
        if (!m_fontName.isEmpty())
            fontTableText(u";");
        if (outer != Dest::FontTable && !m_stack.empty())
            top().codePage = codePageFor(top().chr.font);
        break;
    case Dest::FieldInst:
        if (outer != Dest::FieldInst)
            finishFieldInstruction(closing.field);
        break;
    case Dest::Picture:
        if (outer != Dest::Picture && !m_stack.empty() && outer == Dest::Text && !closing.chr.hidden) {
            // A picture cut off by the end of a damaged file cannot be written back whole.
            if (m_picture.kind == Picture::Kind::Raw && m_closingAtEnd)
                m_picture = Picture();
            else if (m_picture.kind == Picture::Kind::Raw)
                m_picture.data = rawPictureGroup();
            finishPicture();
        }
        break;
    case Dest::PnDef:
        if (outer != Dest::PnDef && outer != Dest::PnBefore && outer != Dest::PnAfter)
            applyPn();
        break;
    case Dest::Label:
        if (outer != Dest::Label)
            m_labelProps = closing.chr;
        break;
    case Dest::LevelText:
        if (outer != Dest::LevelText && !m_wordLists.empty() && !m_wordLists.back().levels.empty())
            m_wordLists.back().levels.back().bullet = bulletShapeOf(m_levelText);
        break;
    default:
        break;
    }
    if (m_stack.empty())
        flushRun();
}

bool Parser::readsText() const
{
    switch (m_stack.back().dest) {
    case Dest::Text:
    case Dest::FontTable:
    case Dest::ColorTable:
    case Dest::FieldInst:
    case Dest::PnBefore:
    case Dest::PnAfter:
    case Dest::Label:
    case Dest::LevelText:
        return true;
    case Dest::Picture:
    case Dest::Skip:
    case Dest::ListTable:
    case Dest::ListOverrides:
    case Dest::PnDef:
    case Dest::Object:
    case Dest::Upr:
        return false;
    }
    return false;
}

void Parser::textBytes(QByteArrayView bytes)
{
    if (m_skip > 0) {
        const qsizetype n = std::min<qsizetype>(m_skip, bytes.size());
        m_skip -= static_cast<int>(n);
        bytes = bytes.sliced(n);
        if (bytes.isEmpty())
            return;
    }
    const Dest dest = top().dest;
    if (dest == Dest::Text) {
        pendBytes(bytes); // body text, most of what a note holds
        return;
    }
    if (dest == Dest::Picture) {
        if (m_picture.kind == Picture::Kind::Raw)
            return; // kept as the group's bytes when it ends
        // Hex picture data, wrapped over lines at the producer's whim.
        for (const char c : bytes) {
            int v = -1;
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (c >= 'a' && c <= 'f')
                v = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
            if (v < 0)
                continue;
            if (m_nibble < 0) {
                m_nibble = v;
            } else {
                m_picture.data.append(static_cast<char>(m_nibble * 16 + v));
                m_nibble = -1;
            }
        }
        return;
    }
    if (readsText())
        pendBytes(bytes);
}

void Parser::hexByte(const Token &token)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (!token.valid || !readsText())
        return;
    if (token.byte < 0x20 && token.byte != 0x09 && token.byte != 0x0d && token.byte != 0x0a)
        return; // control characters are not text
    if ((token.byte == 0x0d || token.byte == 0x0a) && top().dest == Dest::Text) {
        // An escaped line break is a paragraph mark, unlike a raw one.
        flushBytes();
        endParagraph();
        return;
    }
    pendByte(static_cast<char>(token.byte));
}

void Parser::binary(qint64 count)
{
    flushBytes();
    const QByteArrayView data = m_tokens.takeBinary(count);
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (top().dest != Dest::Picture)
        return;
    if (m_picture.kind != Picture::Kind::Raw) {
        m_picture.data.append(data);
    } else if (m_pictBinary.size() < 64) {
        const std::string_view before(m_data.data() + m_pictStart,
                                      static_cast<size_t>(data.data() - m_data.data() - m_pictStart));
        const size_t word = before.rfind("\\bin");
        if (word != std::string_view::npos)
            m_pictBinary.push_back({m_pictStart + static_cast<qsizetype>(word), data.data() - m_data.data(),
                                    data.data() - m_data.data() + data.size()});
    }
}

void Parser::pendBytes(QByteArrayView bytes)
{
    if (m_pending.isEmpty() && m_bytes.isEmpty()) {
        m_pending = bytes;
        return;
    }
    if (!m_pending.isEmpty()) {
        m_bytes.append(m_pending);
        m_pending = {};
    }
    m_bytes.append(bytes);
}

void Parser::pendByte(char byte)
{
    if (!m_pending.isEmpty()) {
        m_bytes.append(m_pending);
        m_pending = {};
    }
    m_bytes.append(byte);
}

void Parser::flushPending()
{
    const QByteArrayView bytes = m_pending.isEmpty() ? QByteArrayView(m_bytes) : m_pending;
    const int codePage = top().codePage;
    // Body text in the pages that give one character per byte is decoded straight into the run,
    // without a copy in between; it is most of what a note holds.
    const char16_t *table = singleByteTable(codePage);
    if (table && top().dest == Dest::Text && !m_highSurrogate) {
        bodyText(bytes, table);
    } else {
        m_decoded.resize(0);
        appendDecoded(m_decoded, bytes, codePage);
        route(m_decoded);
    }
    m_pending = {};
    if (!m_bytes.isEmpty())
        m_bytes.resize(0);
}

void Parser::route(QStringView text)
{
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        route(QStringView(&kReplacement, 1));
    }
    switch (top().dest) {
    case Dest::Text:
        contentText(text);
        break;
    case Dest::Label:
        m_label += text;
        break;
    case Dest::LevelText:
        if (m_levelText.size() < 64)
            m_levelText += text;
        break;
    case Dest::FontTable:
        fontTableText(text);
        break;
    case Dest::ColorTable:
        colorTableText(text);
        break;
    case Dest::FieldInst:
        if (top().field >= 0 && m_fields[top().field].instruction.size() < 4096)
            m_fields[top().field].instruction += text;
        break;
    case Dest::PnBefore:
        m_pnBefore += text;
        break;
    case Dest::PnAfter:
        m_pnAfter += text;
        break;
    default:
        break;
    }
}

void Parser::unicodeUnit(char16_t unit)
{
    if (unit < 0x20 && unit != u'\t')
        return; // control characters are not text
    if (isLowSurrogate(unit)) {
        if (m_highSurrogate) {
            const char16_t pair[2] = {m_highSurrogate, unit};
            m_highSurrogate = 0;
            route(QStringView(pair, 2));
        } else {
            route(QStringView(&kReplacement, 1));
        }
        return;
    }
    if (m_highSurrogate) {
        m_highSurrogate = 0;
        route(QStringView(&kReplacement, 1));
    }
    if (isHighSurrogate(unit)) {
        m_highSurrogate = unit; // joined with the low half that should follow
        return;
    }
    route(QStringView(&unit, 1));
}

void Parser::contentText(QStringView text)
{
    if (!text.isEmpty() && prepareContent())
        m_run.append(text);
}

bool Parser::beginRun()
{
    if (m_stack.empty())
        return false;
    const State &state = top();
    if (state.chr.hidden)
        return false;
    beginContent();
    const bool formatted = m_formatted;
    if (m_pendingCells > 0) {
        if (formatted && !m_run.isEmpty() && !(m_runProps == state.chr))
            flushRun();
        m_runProps = state.chr;
        m_run.append(u'\t', m_pendingCells);
        m_pendingCells = 0;
    }
    if (formatted && !m_run.isEmpty() && !(m_runProps == state.chr))
        flushRun();
    m_runProps = state.chr;
    return true;
}

void Parser::beginContent()
{
    if (m_paraHasContent)
        return;
    m_paraHasContent = true;
    if (!m_stack.empty() && top().para.inTable)
        openCell();
    // The producer's own label is dropped when the paragraph becomes a real list item; otherwise
    // it is the only place the number is kept, so it stays as text.
    if (!m_label.isEmpty() && effectiveParagraph().list.kind == ListKind::None) {
        m_runProps = m_labelProps;
        m_run.append(m_label);
        flushRun();
    }
    m_label.clear();
}

void Parser::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_sink.text(m_run.view(), m_runProps);
    m_run.clear();
}

void Parser::openCell()
{
    if (m_cellOpen || !m_sink.wantsTables())
        return;
    m_cellOpen = true;
    m_sink.cellStart(static_cast<int>(m_rowDefinition.cells.size()));
}

void Parser::endCell()
{
    flushRun();
    openCell();
    m_sink.cellEnd(effectiveParagraph());
    m_cellOpen = false;
    m_rowHasCells = true;
    m_paraHasContent = false;
    m_label.clear();
    m_pendingCells = 0;
}

void Parser::endRow()
{
    if (m_cellOpen || m_paraHasContent)
        endCell(); // text after the last cell mark still belongs to the row
    m_sink.rowEnd(m_rowDefinition);
    m_rowHasCells = false;
}

void Parser::endParagraph()
{
    flushRun();
    if (!m_stack.empty() && top().para.inTable)
        openCell();
    if (!m_paraHasContent && !m_label.isEmpty() && effectiveParagraph().list.kind == ListKind::None) {
        beginContent();
        flushRun();
    }
    m_sink.paragraphEnd(effectiveParagraph());
    m_paraHasContent = false;
    m_label.clear();
    m_pendingCells = 0;
}

void Parser::borderStyleWord(QByteArrayView name)
{
    // \clbrdrX is followed by the line's style (\brdrs, \brdrdb, \brdrdot and many more), its
    // width and colour; a side has a line only when a style other than none is given.
    if (m_lineSide < 0 || !name.startsWith("brdr"))
        return;
    const unsigned char bit = static_cast<unsigned char>(1u << m_lineSide);
    if (name == "brdrnone" || name == "brdrnil" || name == "brdrtbl")
        m_cellDefinition.lines &= static_cast<unsigned char>(~bit);
    else if (name != "brdrw" && name != "brdrcf" && name != "brdrsp")
        m_cellDefinition.lines |= bit;
}

int Parser::tabSetWith(int set, TabStop stop)
{
    std::vector<TabStop> stops;
    if (set >= 0 && set < static_cast<int>(m_tables.tabSets.size()))
        stops = m_tables.tabSets[set];
    const auto at =
        std::lower_bound(stops.begin(), stops.end(), stop,
                         [](const TabStop &a, const TabStop &b) { return a.position < b.position; });
    if (at != stops.end() && at->position == stop.position)
        *at = stop; // a stop given again takes its new kind
    else if (stops.size() < 64)
        stops.insert(at, stop);
    else
        return set;
    if (const auto known = m_tabSetIndex.find(stops); known != m_tabSetIndex.end())
        return known->second;
    if (m_tables.tabSets.size() >= 4096)
        return set; // no note has that many; a damaged file gets no more
    const int index = static_cast<int>(m_tables.tabSets.size());
    m_tables.tabSets.push_back(stops);
    m_tabSetIndex.emplace(std::move(stops), index);
    return index;
}

ListRef Parser::effectiveList(const ParaProps &para) const
{
    ListRef list = para.list;
    if (para.ls >= 0) {
        list = ListRef();
        list.kind = ListKind::Bullet; // a list we cannot resolve still reads as a list
        list.key = para.ls;
        list.level = std::clamp(para.ilvl, 0, 8);
        const auto override = std::find_if(m_overrides.begin(), m_overrides.end(),
                                           [&](const auto &o) { return o.first == para.ls; });
        if (override != m_overrides.end()) {
            const auto def = std::find_if(m_wordLists.begin(), m_wordLists.end(),
                                          [&](const WordList &l) { return l.id == override->second; });
            if (def != m_wordLists.end() && list.level < static_cast<int>(def->levels.size())) {
                const WordListLevel &level = def->levels[list.level];
                list.kind = level.kind;
                list.style = level.style;
                list.bullet = level.bullet;
                list.start = level.start;
            }
        }
    }
    // Qt 6.4 lists always count from 1, so a list that starts elsewhere keeps its producer's
    // label as text instead of showing wrong numbers.
    if (list.kind == ListKind::Numbered && list.start != 1)
        list.kind = ListKind::None;
    return list;
}

ParaProps Parser::effectiveParagraph() const
{
    ParaProps para = m_stack.empty() ? ParaProps() : m_stack.back().para;
    para.list = effectiveList(para);
    para.ls = -1;
    para.ilvl = 0;
    return para;
}

void Parser::setDocumentPage(int page)
{
    m_docCodePage = page;
    forgetFontPages();
    top().codePage = codePageFor(top().chr.font);
}

int Parser::codePageFor(int font) const
{
    FontPage &known = m_fontPages[static_cast<unsigned>(font) % m_fontPages.size()];
    if (known.font == font)
        return known.page;
    const FontEntry *entry = m_tables.font(font);
    known.font = font;
    known.page = entry && entry->codePage != 0 ? entry->codePage : m_docCodePage;
    return known.page;
}

void Parser::fontTableText(QStringView text)
{
    for (const QChar c : text) {
        if (c != u';') {
            if (m_fontName.size() < 256)
                m_fontName += c;
            continue;
        }
        if (m_currentFont >= 0) {
            FontEntry &entry = m_tables.fonts[m_currentFont];
            if (entry.name.isEmpty())
                entry.name = m_fontName.trimmed();
        }
        m_fontName.clear();
    }
}

void Parser::colorTableText(QStringView text)
{
    for (const QChar c : text) {
        if (c != u';')
            continue;
        if (m_tables.colors.size() < 4096) {
            if (m_colorGiven)
                m_tables.colors.emplace_back(QColor(m_red, m_green, m_blue));
            else
                m_tables.colors.emplace_back(std::nullopt);
        }
        m_red = m_green = m_blue = 0;
        m_colorGiven = false;
    }
}

void Parser::finishFieldInstruction(int field)
{
    if (field < 0 || field >= static_cast<int>(m_fields.size()))
        return;
    Field &f = m_fields[field];
    const QString inst = f.instruction.trimmed();
    if (!inst.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return;
    // HYPERLINK "target" [\l "anchor"] [\o "tip"] [\t "frame"] [\m] [\n] [\h]
    QString target, anchor, ignored;
    QString *next = &target;
    qsizetype i = 9;
    while (i < inst.size()) {
        while (i < inst.size() && inst[i].isSpace())
            ++i;
        if (i >= inst.size())
            break;
        QString word;
        const bool quoted = inst[i] == u'"';
        if (quoted) {
            const qsizetype end = inst.indexOf(u'"', i + 1);
            word = inst.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? inst.size() : end + 1;
        } else {
            const qsizetype start = i;
            while (i < inst.size() && !inst[i].isSpace())
                ++i;
            word = inst.mid(start, i - start);
        }
        if (!quoted && word.size() == 2 && word[0] == u'\\') {
            const QChar sw = word[1].toLower();
            next = sw == u'l' ? &anchor : (sw == u'o' || sw == u't') ? &ignored : next;
            continue;
        }
        if (next && next->isEmpty())
            *next = word.replace(QLatin1String("\\\\"), QLatin1String("\\"));
        next = target.isEmpty() ? &target : nullptr;
    }
    if (!anchor.isEmpty())
        target += u'#' + anchor;
    if (target.isEmpty())
        return;
    f.link = static_cast<int>(m_tables.links.size());
    m_tables.links.push_back(target);
}

void Parser::finishPicture()
{
    if (m_picture.kind != Picture::Kind::Unsupported && !m_picture.data.isEmpty()) {
        // A metafile's own \picw is in hundredths of a millimetre, a bitmap's in pixels.
        const bool metric = m_picture.kind == Picture::Kind::Raw;
        const auto size = [metric](int goal, int own, int scale) {
            // Goals are twips.
            const long long base = goal > 0 ? goal / 15 : metric ? own * 96LL / 2540 : own;
            const long long scaled = base * std::clamp(scale, 1, 1000) / 100;
            return static_cast<int>(std::clamp<long long>(scaled, 0, 10000));
        };
        m_picture.width = size(m_picGoalW, m_picW, m_scaleX);
        m_picture.height = size(m_picGoalH, m_picH, m_scaleY);
        flushRun();
        beginContent();
        m_sink.picture(m_picture, top().chr);
    }
    m_picture = Picture();
}

// The picture's group as it came, except that raw \bin data is written as hex digits: some
// readers refuse \bin in a picture, and every reader takes hex.
QByteArray Parser::rawPictureGroup() const
{
    const qsizetype end = m_tokens.position();
    QByteArray raw = "{";
    qsizetype at = m_pictStart;
    for (const BinaryRun &run : m_pictBinary) {
        raw += m_data.sliced(at, run.word - at);
        raw += ' ';
        raw += m_data.sliced(run.data, run.end - run.data).toByteArray().toHex();
        at = run.end;
    }
    raw += m_data.sliced(at, end - at);
    return raw;
}

void Parser::applyPn()
{
    if (m_stack.empty())
        return;
    ListRef list = m_pn;
    if (list.kind == ListKind::Numbered)
        list.affix = addAffix(m_pnBefore, m_pnAfter);
    else
        list.bullet = bulletShapeOf(m_pnBefore);
    top().para.list = list;
    top().para.ls = -1;
}

int Parser::addAffix(const QString &prefix, const QString &suffix)
{
    auto &affixes = m_tables.listAffixes;
    for (size_t i = 0; i < affixes.size(); ++i) {
        if (affixes[i].prefix == prefix && affixes[i].suffix == suffix)
            return static_cast<int>(i);
    }
    if (affixes.size() >= 256)
        return -1;
    affixes.push_back({prefix, suffix});
    return static_cast<int>(affixes.size() - 1);
}

void Parser::leaveFontTable()
{
    // Some damaged files never close the font table; the first body word ends it so the text is
    // read as text rather than as a font name.
    for (State &state : m_stack) {
        if (state.dest == Dest::FontTable)
            state.dest = Dest::Text;
    }
    m_fontName.clear();
    top().codePage = codePageFor(top().chr.font);
}

void Parser::setListLevelFormat(int nfc)
{
    if (m_wordLists.empty() || m_wordLists.back().levels.empty())
        return;
    WordListLevel &level = m_wordLists.back().levels.back();
    level.kind = ListKind::Numbered;
    switch (nfc) {
    case 1:
        level.style = NumberStyle::UpperRoman;
        break;
    case 2:
        level.style = NumberStyle::LowerRoman;
        break;
    case 3:
        level.style = NumberStyle::UpperAlpha;
        break;
    case 4:
        level.style = NumberStyle::LowerAlpha;
        break;
    case 23:
        level.kind = ListKind::Bullet;
        break;
    case 255:
        level.kind = ListKind::None;
        break;
    default:
        level.style = NumberStyle::Decimal;
        break;
    }
}

} // namespace rtf
