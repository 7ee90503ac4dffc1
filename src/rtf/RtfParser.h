#pragma once

#include "CodePages.h"
#include "RtfKeywords.h"
#include "RtfModel.h"
#include "RtfTokenizer.h"
#include "TextRun.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <limits>
#include <map>
#include <vector>

namespace rtf {

// Interprets the token stream: keeps the group stack of character and paragraph properties,
// routes text to its destination, decodes code pages and hands the document to a Sink.
class Parser final
{
public:
    Parser(QByteArrayView data, Sink &sink);

    // Reads everything there is; damaged input is read as far as it goes.
    void run();

    const Tables &tables() const { return m_tables; }
    bool damaged() const { return m_damaged; }

private:
    enum class Dest : unsigned char {
        Text,
        Skip,
        FontTable,
        ColorTable,
        ListTable,
        ListOverrides,
        LevelText, // a list level's label template: a bullet's character
        FieldInst,
        Picture,
        PnDef,
        PnBefore,
        PnAfter,
        Label,  // {\pntext} / {\listtext}: the list label as the producer drew it
        Object, // only the \result inside is shown
        Upr,    // only the {\*\ud} branch inside is read
    };

    struct State
    {
        CharProps chr;
        ParaProps para;
        Dest dest = Dest::Text;
        int uc = 1;
        int codePage = kDefaultPage;
        int field = -1;
    };
    static constexpr int kDefaultPage = 1252;
    static constexpr char16_t kReplacement = 0xFFFD;

    struct Field
    {
        QString instruction;
        int link = -1;
    };
    struct WordListLevel
    {
        ListKind kind = ListKind::Numbered;
        NumberStyle style = NumberStyle::Decimal;
        BulletShape bullet = BulletShape::Disc;
        int start = 1;
    };
    struct WordList
    {
        int id = 0;
        std::vector<WordListLevel> levels;
    };

    State &top() { return m_stack.back(); }
    void groupStart(bool starred);
    void groupEnd();
    void controlWord(const Token &token, bool starred);
    void controlSymbol(unsigned char symbol);
    void hexByte(const Token &token);
    void textBytes(QByteArrayView bytes);
    void binary(qint64 count);

    bool readsText() const;
    void pendBytes(QByteArrayView bytes);
    void pendByte(char byte);
    void flushBytes()
    {
        if (!m_pending.isEmpty() || !m_bytes.isEmpty())
            flushPending();
    }
    void flushPending();
    // Readies the run for text in the current properties; false when the text is not shown.
    // Inline for the common case, more text in a paragraph already begun.
    bool prepareContent()
    {
        if (m_stack.empty() || m_stack.back().chr.hidden)
            return false;
        if (!m_paraHasContent || m_pendingCells > 0 || m_formatted)
            return beginRun();
        return true; // a sink without formatting has no use for the run's properties
    }
    bool beginRun();
    // Body text in a page with one character per byte, decoded straight into the run.
    void bodyText(QByteArrayView bytes, const char16_t *table)
    {
        if (!prepareContent())
            return;
        decodeSingleByte(m_run.extend(bytes.size()), bytes, table);
    }
    void route(QStringView text);
    void unicodeUnit(char16_t unit);
    void contentText(QStringView text);
    void beginContent();
    void flushRun();
    void endParagraph();
    void openCell();
    void endCell();
    void endRow();
    void borderStyleWord(QByteArrayView name);
    // The paragraph's tab stops with one more: the index of that set in Tables::tabSets.
    int tabSetWith(int set, TabStop stop);
    ListRef effectiveList(const ParaProps &para) const;
    ParaProps effectiveParagraph() const;

    void fontTableText(QStringView text);
    void colorTableText(QStringView text);
    void finishFieldInstruction(int field);
    void finishPicture();
    QByteArray rawPictureGroup() const;
    void applyPn();
    void leaveFontTable();
    int codePageFor(int font) const;
    // Called whenever the font table or the document's page changes.
    void forgetFontPages() { m_fontPages.fill({}); }
    // \ansicpg and its kin: the page of text in no font, or in one whose charset does not say.
    void setDocumentPage(int page);
    int addAffix(const QString &prefix, const QString &suffix);
    void setListLevelFormat(int nfc);

    Tokenizer m_tokens;
    Sink &m_sink;
    const bool m_formatted; // the sink splits runs where the formatting changes
    Tables m_tables;
    std::vector<State> m_stack;
    int m_overflowDepth = 0; // groups beyond the depth we keep state for
    bool m_ended = false;
    bool m_damaged = false;
    int m_docCodePage = kDefaultPage;

    // Undecoded text bytes of the current run: a plain text token stays a view into the input
    // (the common case), and only runs pieced together from escapes are copied.
    QByteArrayView m_pending;
    QByteArray m_bytes;
    QString m_decoded;    // scratch for decoding
    TextRun m_run;        // document text waiting to be handed over
    CharProps m_runProps; // its properties
    int m_skip = 0;       // \uc fallback units still to drop
    char16_t m_highSurrogate = 0;

    bool m_paraHasContent = false;
    ParaProps m_lastParagraph;
    int m_pendingCells = 0; // tabs waiting for the next text: cells read as text
    bool m_cellOpen = false;
    bool m_rowHasCells = false;
    RowDefinition m_rowDefinition;   // the current row's, from its \trowd
    CellDefinition m_cellDefinition; // the cell defined up to its \cellx
    int m_lineSide = -1;             // the cell side whose border words follow, -1 none
    std::map<std::vector<TabStop>, int> m_tabSetIndex;
    QString m_label;
    CharProps m_labelProps;

    // The pages of the fonts asked for lately: body text switches among a few fonts all the time.
    struct FontPage
    {
        int font = std::numeric_limits<int>::min(); // no \fN has this number
        int page = kDefaultPage;
    };
    mutable std::array<FontPage, 16> m_fontPages{};

    int m_currentFont = -1;
    QString m_fontName;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorGiven = false;

    std::vector<Field> m_fields;
    std::vector<WordList> m_wordLists;
    std::vector<std::pair<int, int>> m_overrides; // \ls -> \listid
    int m_overrideListId = 0;
    bool m_inListLevel = false;
    QString m_levelText;

    ListRef m_pn;
    QString m_pnBefore, m_pnAfter;

    Picture m_picture;
    qsizetype m_pictStart = 0; // offset of the picture's \pict
    bool m_closingAtEnd = false;
    struct BinaryRun
    {
        qsizetype word; // where its \bin starts
        qsizetype data;
        qsizetype end;
    };
    std::vector<BinaryRun> m_pictBinary; // raw bytes inside a picture kept as its group
    QByteArrayView m_data;
    int m_picW = 0, m_picH = 0, m_picGoalW = 0, m_picGoalH = 0, m_scaleX = 100, m_scaleY = 100;
    int m_nibble = -1;
    int m_footnoteMarks = 0;
};

} // namespace rtf
