#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <compare>
#include <map>
#include <optional>
#include <vector>

namespace rtf {

enum class Underline : unsigned char { None, Single, Dotted, Dash, Wave };
enum class VAlign : unsigned char { Normal, Super, Sub };
enum class Caps : unsigned char { None, All, Small };
enum class Align : unsigned char { Left, Right, Center, Justify };
enum class ListKind : unsigned char { None, Bullet, Numbered };
enum class NumberStyle : unsigned char { Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };
enum class BulletShape : unsigned char { Disc, Circle, Square };
enum class TabKind : unsigned char { Left, Right, Center, Decimal };

// The shape a producer's bullet character stands for (Word draws its bullets from symbol fonts).
BulletShape bulletShapeOf(QStringView label);

// Character properties as the current group sees them. Plain integers only, so that copying the
// state on every '{' stays cheap.
struct CharProps
{
    int font = -1;       // font table number, -1 = none given
    int halfPoints = 24; // \fs
    int foreground = 0;  // colour table index, 0 = automatic
    int background = 0;
    int link = -1; // index into Tables::links
    Underline underline = Underline::None;
    VAlign valign = VAlign::Normal;
    Caps caps = Caps::None;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharProps &) const = default;
};

struct ListRef
{
    ListKind kind = ListKind::None;
    NumberStyle style = NumberStyle::Decimal;
    BulletShape bullet = BulletShape::Disc;
    int level = 0;
    int start = 1;
    int key = -1;   // Word's \ls number: its paragraphs form one list even when interrupted
    int affix = -1; // index into Tables::listAffixes for the text around the number

    bool operator==(const ListRef &) const = default;
};

struct ParaProps
{
    Align align = Align::Left;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; // \sl; 0 = single
    bool lineMultiple = false;
    ListRef list; // from rich edit's {\*\pn}
    int ls = -1;  // Word's list override number (resolved when the paragraph ends)
    int ilvl = 0;
    int tabs = -1;                   // index into Tables::tabSets, -1 = the default stops
    TabKind nextTab = TabKind::Left; // \tqr and its kin: the kind of the next \tx
    bool inTable = false;            // \intbl: the paragraph belongs to a table cell

    bool operator==(const ParaProps &) const = default;
};

struct TabStop
{
    int position = 0; // twips from the left edge of the text
    TabKind kind = TabKind::Left;

    auto operator<=>(const TabStop &) const = default;
};

// The sides of a table cell, as bits of CellDefinition::lines and indexes of the paddings.
enum CellSide : unsigned char { SideTop, SideLeft, SideBottom, SideRight, kCellSides };

// How a column's width is meant: \clftsWidth and \trftsWidth.
enum class WidthKind : unsigned char { Edges, Automatic, Percent };

// One cell of a table row's definition, in twips.
struct CellDefinition
{
    int right = 0;                              // \cellx: the cell's right edge from the row's left
    unsigned char lines = 0;                    // 1 << CellSide for each side with a border line
    int padding[kCellSides] = {-1, -1, -1, -1}; // -1: the row's
    WidthKind widthKind = WidthKind::Edges;
    int width = 0; // in fiftieths of a percent when widthKind is Percent
};

// What a table row's definition (\trowd up to the row's first text) says, in twips.
struct RowDefinition
{
    std::vector<CellDefinition> cells;
    int gap = 0;                                // \trgaph: padding left and right of each cell
    int padding[kCellSides] = {-1, -1, -1, -1}; // \trpadd*, -1: not given
    WidthKind widthKind = WidthKind::Edges;     // of the whole table
    int width = 0;

    // A cell's padding on one side as Word and LibreOffice apply it.
    int paddingOf(size_t cell, CellSide side) const
    {
        if (cell < cells.size() && cells[cell].padding[side] >= 0)
            return cells[cell].padding[side];
        if (padding[side] >= 0)
            return padding[side];
        return side == SideLeft || side == SideRight ? gap : 0;
    }
};

struct FontEntry
{
    QString name;
    int codePage = 0; // 0 = the document's
};

struct ListAffix
{
    QString prefix;
    QString suffix;
};

struct Picture
{
    // Raw: a kind we cannot draw (metafiles, device-dependent bitmaps); its whole {\pict} group is
    // carried in `data` so that the next save writes it back unchanged.
    enum class Kind : unsigned char { Unsupported, Png, Jpeg, Raw };
    Kind kind = Kind::Unsupported;
    QByteArray data;
    int width = 0; // in pixels as drawn, 0 = the image's own size
    int height = 0;
};

// The image format property that holds a Raw picture's RTF group.
inline constexpr int kRawPictureProperty = 0x100000 + 0x5254; // QTextFormat::UserProperty + 'RT'

// What the header and the destinations told us; the builders look properties up here.
struct Tables
{
    std::map<int, FontEntry> fonts;            // by \fN; numbers are sparse (Word uses 31500+)
    std::vector<std::optional<QColor>> colors; // index 0 is usually "automatic"
    std::vector<QString> links;
    std::vector<ListAffix> listAffixes;
    std::vector<std::vector<TabStop>> tabSets; // the tab stops of paragraphs, each set once
    int defaultFont = 0;

    const FontEntry *font(int number) const
    {
        const auto it = fonts.find(number < 0 ? defaultFont : number);
        return it == fonts.end() ? nullptr : &it->second;
    }
    std::optional<QColor> color(int index) const
    {
        if (index <= 0 || index >= static_cast<int>(colors.size()))
            return std::nullopt;
        return colors[index];
    }
};

// Receives the document as the reader understands it.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void text(QStringView run, const CharProps &props) = 0;
    virtual void paragraphEnd(const ParaProps &props) = 0;
    virtual void picture(const Picture &picture, const CharProps &props) = 0;
    // lastProps belong to the paragraph that the document ends in (it had no \par).
    virtual void finish(const ParaProps &lastProps) = 0;
    // Table cells, for sinks that keep tables; the others get each row as one paragraph with its
    // cells separated by tabs. A cell starts before its first content and ends with its last
    // paragraph's properties; the row ends with its definition.
    virtual void cellStart(int columns) { (void)columns; }
    virtual void cellEnd(const ParaProps &props) { (void)props; }
    virtual void rowEnd(const RowDefinition &row) { (void)row; }
    virtual bool wantsTables() const { return false; }
    // False when only the text matters: runs then are not split where the formatting changes.
    virtual bool wantsFormatting() const { return true; }

    // The reader's tables, valid while it runs.
    void attach(const Tables *tables) { m_tables = tables; }

protected:
    const Tables *m_tables = nullptr;
};

} // namespace rtf
