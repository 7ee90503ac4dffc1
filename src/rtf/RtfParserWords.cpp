// The reader's token loop and its handling of control words and symbols, in one file so that
// the handling of a word is compiled into the loop: a note has a control word every few bytes.
#include "CodePages.h"
#include "RtfParser.h"

#include <algorithm>

namespace rtf {

namespace {

// Twips and other measures come from the file; keep them in a range no layout chokes on.
int clampMeasure(int value)
{
    return std::clamp(value, -31680, 31680); // 22 inches
}

// Space between a cell's edge and its text: none below zero, at most two inches.
int padding(int value)
{
    return std::clamp(value, 0, 2880);
}

// \clftsWidth and \trftsWidth: 1 automatic, 2 fiftieths of a percent; the others (none, twips)
// leave the width to the cell edges.
WidthKind widthKind(int units)
{
    return units == 1 ? WidthKind::Automatic : units == 2 ? WidthKind::Percent : WidthKind::Edges;
}

} // namespace

void Parser::controlSymbol(unsigned char symbol)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        pendByte(static_cast<char>(symbol));
        return;
    }
    flushBytes();
    switch (symbol) {
    case '~':
        route(u"\u00A0");
        break;
    case '_':
        route(u"\u2011");
        break;
    case '-':
        route(u"\u00AD"); // the producer's hyphenation point, kept for the next save
        break;
    case '\n':
        if (top().dest == Dest::Text)
            endParagraph();
        break;
    default:
        break; // \| and \: carry no text
    }
}

Q_ALWAYS_INLINE void Parser::controlWord(const Token &token, bool starred)
{
    flushBytes();
    const Keyword word = lookupKeyword(token.text, token.head);
    if (word == Keyword::K_bin) {
        // Binary data is jumped over wherever it is, so braces inside it cannot break the nesting.
        binary(token.hasParam ? token.param : 0);
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    State &s = top();
    if (word == Keyword::Unknown || word == Keyword::SkipDestination) {
        if (word == Keyword::Unknown && m_lineSide >= 0 && s.dest != Dest::Skip)
            borderStyleWord(token.text);
        if (starred || word == Keyword::SkipDestination)
            s.dest = Dest::Skip;
        return;
    }
    if (s.dest == Dest::Skip)
        return;
    if (s.dest == Dest::Picture && (word < Keyword::K_pngblip || word > Keyword::K_picscaley))
        return; // a picture's group holds only its own words; others must not reach the document

    const int p = token.param;
    const bool on = !token.hasParam || p != 0;
    CharProps &c = s.chr;
    ParaProps &para = s.para;
    using K = Keyword;
    switch (word) {
    // Header
    case K::K_ansi:
        setDocumentPage(1252);
        break;
    case K::K_mac:
        setDocumentPage(10000);
        break;
    case K::K_pc:
        setDocumentPage(437);
        break;
    case K::K_pca:
        setDocumentPage(850);
        break;
    case K::K_ansicpg:
        setDocumentPage(normaliseCodePage(p));
        break;
    case K::K_deff:
        m_tables.defaultFont = p;
        forgetFontPages();
        s.codePage = codePageFor(c.font);
        break;
    case K::K_viewkind:
    case K::K_sectd:
        if (s.dest == Dest::FontTable)
            leaveFontTable();
        break;

    // Destinations
    case K::K_fonttbl:
        s.dest = Dest::FontTable;
        m_currentFont = -1;
        m_fontName.clear();
        break;
    case K::K_colortbl:
        s.dest = Dest::ColorTable;
        break;
    case K::K_listtable:
        s.dest = Dest::ListTable;
        break;
    case K::K_listoverridetable:
        s.dest = Dest::ListOverrides;
        break;
    case K::K_field:
        if (m_fields.size() < 100000) {
            m_fields.push_back({});
            s.field = static_cast<int>(m_fields.size() - 1);
        }
        break;
    case K::K_fldinst:
        if (s.dest == Dest::Text)
            s.dest = Dest::FieldInst;
        break;
    case K::K_fldrslt:
        if (s.dest == Dest::FieldInst) {
            finishFieldInstruction(s.field);
            s.dest = Dest::Text;
        }
        if (s.dest == Dest::Text && s.field >= 0 && m_fields[s.field].link >= 0)
            c.link = m_fields[s.field].link;
        break;
    case K::K_pict:
        if (s.dest == Dest::Text) {
            s.dest = Dest::Picture;
            // From the \pict word on: what came before it in its group was read as text already.
            m_pictStart = token.text.data() - m_data.data() - 1;
            m_pictBinary.clear();
            m_picture = Picture();
            m_picW = m_picH = m_picGoalW = m_picGoalH = 0;
            m_scaleX = m_scaleY = 100;
            m_nibble = -1;
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case K::K_pn:
        if (s.dest == Dest::Text) {
            s.dest = Dest::PnDef;
            m_pn = ListRef();
            m_pn.kind = ListKind::Numbered;
            m_pnBefore.clear();
            m_pnAfter.clear();
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case K::K_pntxtb:
        s.dest = s.dest == Dest::PnDef ? Dest::PnBefore : Dest::Skip;
        break;
    case K::K_pntxta:
        s.dest = s.dest == Dest::PnDef ? Dest::PnAfter : Dest::Skip;
        break;
    case K::K_pntext:
    case K::K_listtext:
        if (s.dest == Dest::Text) {
            s.dest = Dest::Label;
            m_label.clear();
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case K::K_object:
        if (s.dest == Dest::Text)
            s.dest = Dest::Object;
        break;
    case K::K_result:
        if (s.dest == Dest::Object)
            s.dest = Dest::Text;
        break;
    case K::K_upr:
        if (s.dest == Dest::Text)
            s.dest = Dest::Upr;
        break;
    case K::K_ud:
        if (s.dest == Dest::Upr)
            s.dest = Dest::Text;
        break;

    // Font and colour tables
    case K::K_f:
        if (s.dest == Dest::FontTable) {
            forgetFontPages();
            m_currentFont = p;
            m_fontName.clear();
            if (m_tables.fonts.size() < 4096 || m_tables.fonts.count(p))
                m_tables.fonts[p];
            else
                m_currentFont = -1;
            s.codePage = m_docCodePage;
        } else {
            c.font = p;
            s.codePage = codePageFor(p);
        }
        break;
    case K::K_fcharset:
    case K::K_cpg:
        if (s.dest == Dest::FontTable && m_currentFont >= 0) {
            FontEntry &entry = m_tables.fonts[m_currentFont];
            const int page = word == K::K_cpg ? normaliseCodePage(p) : codePageForCharset(p);
            // \cpg names the page outright and wins over the charset.
            if (word == K::K_cpg || entry.codePage == 0)
                entry.codePage = page;
            forgetFontPages();
            if (entry.codePage != 0)
                s.codePage = entry.codePage;
        }
        break;
    case K::K_red:
        m_red = std::clamp(p, 0, 255);
        m_colorGiven = true;
        break;
    case K::K_green:
        m_green = std::clamp(p, 0, 255);
        m_colorGiven = true;
        break;
    case K::K_blue:
        m_blue = std::clamp(p, 0, 255);
        m_colorGiven = true;
        break;

    // Character formatting
    case K::K_plain: {
        const int link = c.link;
        c = CharProps();
        c.link = link; // \plain inside a link's result still belongs to the link
        s.codePage = codePageFor(c.font);
        break;
    }
    case K::K_fs:
        c.halfPoints = token.hasParam ? std::clamp(p, 2, 3276) : 24;
        break;
    case K::K_b:
        c.bold = on;
        break;
    case K::K_i:
        c.italic = on;
        break;
    case K::K_ul:
    case K::K_uldb:
    case K::K_ulth:
    case K::K_ulw:
        c.underline = on ? Underline::Single : Underline::None;
        break;
    case K::K_uld:
        c.underline = on ? Underline::Dotted : Underline::None;
        break;
    case K::K_uldash:
    case K::K_uldashd:
    case K::K_uldashdd:
    case K::K_ulldash:
    case K::K_ulthd:
    case K::K_ulthdash:
    case K::K_ulthdashd:
    case K::K_ulthdashdd:
    case K::K_ulthldash:
        c.underline = on ? Underline::Dash : Underline::None;
        break;
    case K::K_ulwave:
    case K::K_ulhwave:
    case K::K_uldbwave:
        c.underline = on ? Underline::Wave : Underline::None;
        break;
    case K::K_ulnone:
        c.underline = Underline::None;
        break;
    case K::K_strike:
    case K::K_striked:
        c.strike = on;
        break;
    case K::K_cf:
        c.foreground = std::max(p, 0);
        break;
    case K::K_cb:
    case K::K_highlight:
    case K::K_chcbpat:
        c.background = std::max(p, 0);
        break;
    case K::K_super:
        c.valign = on ? VAlign::Super : VAlign::Normal;
        break;
    case K::K_sub:
        c.valign = on ? VAlign::Sub : VAlign::Normal;
        break;
    case K::K_nosupersub:
        c.valign = VAlign::Normal;
        break;
    case K::K_up:
        c.valign = p != 0 ? VAlign::Super : VAlign::Normal;
        break;
    case K::K_dn:
        c.valign = p != 0 ? VAlign::Sub : VAlign::Normal;
        break;
    case K::K_v:
        c.hidden = on;
        break;
    case K::K_caps:
        c.caps = on ? Caps::All : Caps::None;
        break;
    case K::K_scaps:
        c.caps = on ? Caps::Small : Caps::None;
        break;

    // Paragraphs
    case K::K_pard:
        if (s.dest == Dest::FontTable)
            leaveFontTable();
        para = ParaProps();
        break;
    case K::K_par:
        if (s.dest == Dest::FontTable)
            leaveFontTable();
        if (top().dest == Dest::Text)
            endParagraph();
        break;
    case K::K_page:
        if (s.dest == Dest::Text && m_paraHasContent)
            endParagraph();
        break;
    case K::K_row:
        if (s.dest == Dest::Text && m_sink.wantsTables() && (m_cellOpen || m_rowHasCells)) {
            endRow();
            break;
        }
        [[fallthrough]];
    case K::K_nestrow:
        if (s.dest == Dest::Text) {
            m_pendingCells = 0; // the last cell's separator would only be trailing white space
            endParagraph();
        }
        break;
    case K::K_cell:
        if (s.dest == Dest::Text && m_sink.wantsTables() && (para.inTable || m_cellOpen)) {
            endCell();
            break;
        }
        [[fallthrough]];
    case K::K_nestcell:
        // Cells of tables we do not keep (nested ones, or all where only the text matters) read
        // as one paragraph per row with the cells separated by tabs. An empty cell's list label
        // goes with the cell, as it does where cells are kept, not into the next cell's text.
        if (s.dest == Dest::Text) {
            if (!m_paraHasContent)
                m_label.clear();
            ++m_pendingCells;
        }
        break;
    case K::K_intbl:
        para.inTable = true;
        break;
    case K::K_itap:
        para.inTable = p > 0;
        break;
    // Table row definitions
    case K::K_trowd:
        m_rowDefinition = RowDefinition();
        m_cellDefinition = CellDefinition();
        m_lineSide = -1;
        break;
    case K::K_cellx:
        m_cellDefinition.right = clampMeasure(p);
        if (m_rowDefinition.cells.size() < 64)
            m_rowDefinition.cells.push_back(m_cellDefinition);
        m_cellDefinition = CellDefinition();
        m_lineSide = -1;
        break;
    case K::K_trgaph:
        m_rowDefinition.gap = padding(p);
        break;
    case K::K_trpaddt:
        m_rowDefinition.padding[SideTop] = padding(p);
        break;
    case K::K_trpaddl:
        m_rowDefinition.padding[SideLeft] = padding(p);
        break;
    case K::K_trpaddb:
        m_rowDefinition.padding[SideBottom] = padding(p);
        break;
    case K::K_trpaddr:
        m_rowDefinition.padding[SideRight] = padding(p);
        break;
    // Word writes a cell's left padding as \clpadt and its top padding as \clpadl, and
    // LibreOffice follows it.
    case K::K_clpadl:
        m_cellDefinition.padding[SideTop] = padding(p);
        break;
    case K::K_clpadt:
        m_cellDefinition.padding[SideLeft] = padding(p);
        break;
    case K::K_clpadb:
        m_cellDefinition.padding[SideBottom] = padding(p);
        break;
    case K::K_clpadr:
        m_cellDefinition.padding[SideRight] = padding(p);
        break;
    case K::K_clbrdrt:
    case K::K_clbrdrl:
    case K::K_clbrdrb:
    case K::K_clbrdrr:
        m_lineSide = word == K::K_clbrdrt   ? SideTop
                     : word == K::K_clbrdrl ? SideLeft
                     : word == K::K_clbrdrb ? SideBottom
                                            : SideRight;
        m_cellDefinition.lines &= static_cast<unsigned char>(~(1u << m_lineSide)); // until its style
        break;
    case K::K_clftsWidth:
        m_cellDefinition.widthKind = widthKind(p);
        break;
    case K::K_clwWidth:
        m_cellDefinition.width = std::clamp(p, 0, 31680);
        break;
    case K::K_trftsWidth:
        m_rowDefinition.widthKind = widthKind(p);
        break;
    case K::K_trwWidth:
        m_rowDefinition.width = std::clamp(p, 0, 31680);
        break;
    case K::K_chftn:
        // The footnote's own text is not shown, but its reference mark in the text is.
        if (s.dest == Dest::Text)
            route(QString::number(++m_footnoteMarks));
        break;
    case K::K_line:
        route(u"\u2028");
        break;
    case K::K_tab:
        route(u"\t");
        break;
    case K::K_ql:
        para.align = Align::Left;
        break;
    case K::K_qr:
        para.align = Align::Right;
        break;
    case K::K_qc:
        para.align = Align::Center;
        break;
    case K::K_qj:
        para.align = Align::Justify;
        break;
    case K::K_li:
    case K::K_lin:
        para.leftIndent = clampMeasure(p);
        break;
    case K::K_ri:
    case K::K_rin:
        para.rightIndent = clampMeasure(p);
        break;
    case K::K_fi:
        para.firstIndent = clampMeasure(p);
        break;
    case K::K_sb:
        para.spaceBefore = std::max(0, clampMeasure(p));
        break;
    case K::K_sa:
        para.spaceAfter = std::max(0, clampMeasure(p));
        break;
    case K::K_sl:
        para.lineSpacing = clampMeasure(p);
        break;
    case K::K_slmult:
        para.lineMultiple = p != 0;
        break;
    case K::K_tx:
        para.tabs = tabSetWith(para.tabs, {clampMeasure(p), para.nextTab});
        para.nextTab = TabKind::Left;
        break;
    case K::K_tqr:
        para.nextTab = TabKind::Right;
        break;
    case K::K_tqc:
        para.nextTab = TabKind::Center;
        break;
    case K::K_tqdec:
        para.nextTab = TabKind::Decimal;
        break;

    // Symbols
    case K::K_emdash:
        route(u"\u2014");
        break;
    case K::K_endash:
        route(u"\u2013");
        break;
    case K::K_bullet:
        route(u"\u2022");
        break;
    case K::K_lquote:
        route(u"\u2018");
        break;
    case K::K_rquote:
        route(u"\u2019");
        break;
    case K::K_ldblquote:
        route(u"\u201C");
        break;
    case K::K_rdblquote:
        route(u"\u201D");
        break;
    case K::K_enspace:
        route(u"\u2002");
        break;
    case K::K_emspace:
        route(u"\u2003");
        break;
    case K::K_qmspace:
        route(u"\u2005");
        break;
    case K::K_zwj:
        route(u"\u200D");
        break;
    case K::K_zwnj:
        route(u"\u200C");
        break;
    case K::K_ltrmark:
        route(u"\u200E");
        break;
    case K::K_rtlmark:
        route(u"\u200F");
        break;
    case K::K_u:
        if (token.hasParam) {
            unicodeUnit(static_cast<char16_t>(p < 0 ? p + 65536 : p));
            m_skip = s.uc;
        }
        break;
    case K::K_uc:
        s.uc = std::clamp(p, 0, 16);
        break;

    // Word's lists
    case K::K_ls:
        if (s.dest == Dest::ListOverrides)
            m_overrides.emplace_back(p, m_overrideListId);
        else if (s.dest == Dest::Text)
            para.ls = std::max(p, 0);
        break;
    case K::K_ilvl:
        para.ilvl = std::clamp(p, 0, 8);
        break;
    case K::K_list:
        if (s.dest == Dest::ListTable && m_wordLists.size() < 4096)
            m_wordLists.emplace_back();
        break;
    case K::K_listlevel:
        if (s.dest == Dest::ListTable && !m_wordLists.empty() && m_wordLists.back().levels.size() < 9)
            m_wordLists.back().levels.emplace_back();
        break;
    case K::K_leveltext:
        if (s.dest == Dest::ListTable) {
            s.dest = Dest::LevelText;
            m_levelText.clear();
        } else {
            s.dest = Dest::Skip;
        }
        break;
    case K::K_levelnfc:
    case K::K_levelnfcn:
        if (s.dest == Dest::ListTable)
            setListLevelFormat(p);
        break;
    case K::K_levelstartat:
        if (s.dest == Dest::ListTable && !m_wordLists.empty() && !m_wordLists.back().levels.empty())
            m_wordLists.back().levels.back().start = p;
        break;
    case K::K_listid:
        if (s.dest == Dest::ListTable && !m_wordLists.empty())
            m_wordLists.back().id = p;
        else if (s.dest == Dest::ListOverrides)
            m_overrideListId = p;
        break;
    case K::K_listoverride:
        break;

    // Rich edit's paragraph numbering
    case K::K_pnlvlblt:
        m_pn.kind = ListKind::Bullet;
        break;
    case K::K_pnlvlbody:
    case K::K_pnlvlcont:
        break;
    case K::K_pnlvl:
        m_pn.level = std::clamp(p - 1, 0, 8);
        break;
    case K::K_pnstart:
        m_pn.start = p;
        break;
    case K::K_pndec:
        m_pn.style = NumberStyle::Decimal;
        break;
    case K::K_pnucltr:
        m_pn.style = NumberStyle::UpperAlpha;
        break;
    case K::K_pnlcltr:
        m_pn.style = NumberStyle::LowerAlpha;
        break;
    case K::K_pnucrm:
        m_pn.style = NumberStyle::UpperRoman;
        break;
    case K::K_pnlcrm:
        m_pn.style = NumberStyle::LowerRoman;
        break;

    // Pictures
    case K::K_pngblip:
        m_picture.kind = Picture::Kind::Png;
        break;
    case K::K_jpegblip:
        m_picture.kind = Picture::Kind::Jpeg;
        break;
    case K::K_emfblip:
    case K::K_wmetafile:
    case K::K_dibitmap:
    case K::K_wbitmap:
    case K::K_macpict:
    case K::K_pmmetafile:
        if (s.dest == Dest::Picture)
            m_picture.kind = Picture::Kind::Raw;
        break;
    case K::K_shppict:
        break; // the picture group inside is read; {\nonshppict} holds only its fallback
    case K::K_picw:
        m_picW = std::clamp(p, 0, 100000);
        break;
    case K::K_pich:
        m_picH = std::clamp(p, 0, 100000);
        break;
    case K::K_picwgoal:
        m_picGoalW = std::clamp(p, 0, 1000000);
        break;
    case K::K_pichgoal:
        m_picGoalH = std::clamp(p, 0, 1000000);
        break;
    case K::K_picscalex:
        m_scaleX = p;
        break;
    case K::K_picscaley:
        m_scaleY = p;
        break;

    default:
        break;
    }
}

void Parser::run()
{
    bool starred = false;
    bool started = false;
    bool groupJustStarted = false;
    while (!m_ended) {
        const Token token = m_tokens.next();
        const bool wasStarred = starred;
        const bool atGroupStart = groupJustStarted;
        starred = false;
        groupJustStarted = token.kind == TokenKind::GroupStart;
        switch (token.kind) {
        case TokenKind::End:
            if (!m_stack.empty() || !started)
                m_damaged = m_damaged || started;
            m_ended = true;
            break;
        case TokenKind::GroupStart:
            started = true;
            groupStart(false);
            break;
        case TokenKind::GroupEnd:
            if (m_stack.empty()) {
                m_ended = true; // a stray '}' before any group
                break;
            }
            groupEnd();
            if (m_stack.empty())
                m_ended = true; // what follows the document's closing brace is not part of it
            break;
        case TokenKind::ControlSymbol:
            if (m_stack.empty())
                break;
            if (token.byte == '*') {
                // \* only marks a destination at the start of its group; elsewhere it means nothing.
                starred = atGroupStart;
                break;
            }
            controlSymbol(token.byte);
            break;
        case TokenKind::ControlWord:
            if (!m_stack.empty())
                controlWord(token, wasStarred);
            break;
        case TokenKind::Hex:
            if (!m_stack.empty())
                hexByte(token);
            break;
        case TokenKind::Text:
            if (m_stack.empty())
                break;
            if (m_skip == 0 && top().dest == Dest::Text && m_pending.isEmpty() && m_bytes.isEmpty()) {
                // Body text, most of what a note holds. In a page with one character per byte it
                // is decoded at once, as escapes that follow cannot change how it reads.
                if (const char16_t *table = singleByteTable(top().codePage); table && !m_highSurrogate) {
                    bodyText(token.text, table);
                    break;
                }
                // Otherwise it is kept as a view. Field by field: a copy of the whole view would
                // read back two fresh stores at once, which stalls.
                m_pending = QByteArrayView(token.text.data(), token.text.size());
                break;
            }
            textBytes(token.text);
            break;
        }
    }
    // Groups left open at the end of a damaged file: close them so their text is kept.
    m_closingAtEnd = true;
    while (!m_stack.empty())
        groupEnd();
    flushBytes();
    flushRun();
    if (m_highSurrogate) {
        // Every group is closed by now, so there are no current properties to prepare: the
        // lone half is shown as a replacement character in the last run's format.
        m_highSurrogate = 0;
        m_run.append(kReplacement);
        flushRun();
    }
    m_sink.finish(m_lastParagraph);
}

} // namespace rtf
