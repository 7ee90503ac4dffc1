#include "FontColourDialog.h"

#include "SettingsStore.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QValidator>

#include <cmath>
#include <limits>

namespace {

bool slanted(const QFont &font)
{
    return font.style() != QFont::StyleNormal;
}

// The family's style nearest the wanted weight and slant; of two as near, the shorter name, so
// that "Book" wins over "Condensed" and "Bold" over "Condensed Bold".
QString nearestStyle(const QString &family, const QFont &wanted)
{
    QString nearest;
    int best = std::numeric_limits<int>::max();
    const QStringList styles = QFontDatabase::styles(family);
    for (const QString &style : styles) {
        const QFont font = QFontDatabase::font(family, style, 12);
        const int distance = (slanted(font) != wanted.italic() ? 100'000 : 0) +
                             std::abs(font.weight() - wanted.weight()) * 100 + int(style.size());
        if (distance < best) {
            best = distance;
            nearest = style;
        }
    }
    return nearest;
}

// The font as the chooser can show it: a family of its list (namesakes carry the foundry there,
// "Nimbus Sans [urw]") in the style of the wanted weight and slant. A family the system lacks, or
// one without such a style (the generic "Sans Serif" has no bold), is shown as the family that
// stands in for it, so the dialog never opens on a blank name or on another style.
QFont asListed(const QFont &wanted)
{
    const QString name = wanted.family();
    const QStringList families = QFontDatabase::families();
    QStringList candidates;
    if (families.contains(name))
        candidates << name;
    for (const QString &family : families)
        if (!candidates.contains(family) && FontBoxes::fontNames({family}).value(0) == name)
            candidates << family;
    if (const QString standIn = QFontInfo(wanted).family(); !candidates.contains(standIn))
        candidates << standIn;
    QFont shown = wanted;
    bool found = false;
    for (const QString &family : std::as_const(candidates)) {
        const QString style = nearestStyle(family, wanted);
        if (style.isEmpty())
            continue;
        const QFont font = QFontDatabase::font(family, style, 12);
        const bool exact = font.bold() == wanted.bold() && slanted(font) == wanted.italic();
        if (found && !exact)
            continue;
        shown.setFamilies({family});
        shown.setStyleName(style);
        found = true;
        if (exact)
            break;
    }
    return shown;
}

QIcon swatch(const QColor &colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.setBrush(colour.isValid() ? colour : QColor(Qt::black));
    p.drawRect(0, 0, size - 1, size - 1);
    return QIcon(pixmap);
}

// The chooser's size list: the one list of numbers.
QListView *sizeListOf(const QFontDialog *fonts)
{
    const QList<QListView *> lists = fonts->findChildren<QListView *>();
    for (QListView *list : lists) {
        const auto *model = qobject_cast<QStringListModel *>(list->model());
        const QStringList entries = model ? model->stringList() : QStringList();
        bool sizes = !entries.isEmpty();
        for (const QString &entry : entries)
            sizes = sizes && entry.toDouble() > 0;
        if (sizes)
            return list;
    }
    return nullptr;
}

// The chooser's size field: the one field that takes whole numbers only.
QLineEdit *sizeFieldOf(const QFontDialog *fonts)
{
    const QList<QLineEdit *> fields = fonts->findChildren<QLineEdit *>();
    for (QLineEdit *field : fields)
        if (qobject_cast<const QIntValidator *>(field->validator()))
            return field;
    return nullptr;
}
} // namespace

FontColourDialog::FontColourDialog(const FontChoice &preset, QWidget *parent)
    : QDialog(parent), m_preset(preset), m_fonts(new QFontDialog(this)),
      m_colourButton(new QPushButton(tr("&Colour..."), this)), m_colour(preset.color)
{
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(tr("Font"));
    // The chooser lives inside this dialog, with its own buttons left out.
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::ScalableFonts | QFontDialog::NonScalableFonts);
    m_fonts->setCurrentFont(asListed(preset.font));
    m_shownFirst = m_fonts->currentFont();
    m_sizeList = sizeListOf(m_fonts);
    m_sizeField = sizeFieldOf(m_fonts);
    m_size = preset.font.pointSizeF() > 0 ? preset.font.pointSizeF() : QFontInfo(preset.font).pointSizeF();
    m_sizeFirst = m_size;
    if (m_sizeField) {
        // Half points too; the chooser's own look at the field takes whole numbers only, so this
        // dialog keeps the size itself (m_size).
        auto *sizes = new QDoubleValidator(0, 1638, 1, m_sizeField);
        sizes->setLocale(QLocale::c());
        sizes->setNotation(QDoubleValidator::StandardNotation);
        m_sizeField->setValidator(sizes);
        connect(m_sizeField, &QLineEdit::textChanged, this, &FontColourDialog::sizeTextChanged);
    }
    m_colourButton->setObjectName(QStringLiteral("cmdColour"));
    m_colourButton->setAccessibleName(tr("Colour"));
    m_colourButton->setAutoDefault(false);
    setColour(preset.color);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // The chooser's own OK, hidden, is a default button too; without ours marked, Enter would
    // look for a default, find only that one and do nothing.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_colourButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts, 1);
    layout->addLayout(bottom);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter in the chooser's lists and Escape anywhere in it close the chooser itself; they are
    // meant for the whole dialog.
    connect(m_fonts, &QDialog::accepted, this, &QDialog::accept);
    connect(m_fonts, &QDialog::rejected, this, &QDialog::reject);
    connect(m_colourButton, &QPushButton::clicked, this, &FontColourDialog::pickColour);
    // The chooser fills its size list afresh for each family and style, and shows the size again
    // in whole points.
    connect(m_fonts, &QFontDialog::currentFontChanged, this, &FontColourDialog::chooserChanged,
            Qt::QueuedConnection);
    chooserChanged();
}

void FontColourDialog::chooserChanged()
{
    keepDialogSizes();
    showSize();
}

// Only the sizes the dialog allows are offered; a size typed outside them is brought within
// them when the choice is applied.
void FontColourDialog::keepDialogSizes()
{
    auto *model = m_sizeList ? qobject_cast<QStringListModel *>(m_sizeList->model()) : nullptr;
    if (!model)
        return;
    QStringList kept;
    for (int points = int(FontBoxes::DialogMinSize); points <= int(FontBoxes::DialogMaxSize); ++points)
        kept << QString::number(points);
    if (model->stringList() != kept)
        model->setStringList(kept);
}

// A size typed into the field or picked from the list (the focus is there) is the user's;
// anything else writing the field is the chooser putting its whole-point size back.
void FontColourDialog::sizeTextChanged(const QString &text)
{
    const bool user = m_sizeField->hasFocus() || (m_sizeList && m_sizeList->hasFocus());
    bool ok = false;
    const double size = QLocale::c().toDouble(text, &ok);
    if (user && ok && size > 0)
        m_size = size;
}

// The size in the field, the list and the sample is m_size, also a half point, also after
// another family was picked. The field is left alone while the user types into it.
void FontColourDialog::showSize()
{
    const QString text = shortestDecimal(m_size);
    if (m_sizeField && !m_sizeField->hasFocus() && m_sizeField->text() != text) {
        const QSignalBlocker quiet(m_sizeField);
        m_sizeField->setText(text);
    }
    if (m_sizeList) {
        const QSignalBlocker quiet(m_sizeList);
        const auto *model = qobject_cast<QStringListModel *>(m_sizeList->model());
        const int row = model ? int(model->stringList().indexOf(text)) : -1;
        if (row >= 0)
            m_sizeList->setCurrentIndex(m_sizeList->model()->index(row, 0));
        else if (m_sizeList->selectionModel())
            m_sizeList->selectionModel()->clearSelection();
    }
    if (auto *sample = m_fonts->findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"))) {
        QFont font = sample->font();
        if (font.pointSizeF() != m_size) {
            font.setPointSizeF(m_size);
            sample->setFont(font);
        }
    }
}

void FontColourDialog::setColour(const QColor &colour)
{
    m_colour = colour;
    m_colourButton->setIcon(swatch(colour, fontMetrics().height()));
}

void FontColourDialog::pickColour()
{
    const QColor chosen =
        QColorDialog::getColor(m_colour.isValid() ? m_colour : QColor(Qt::black), this, tr("Colour"));
    if (chosen.isValid())
        setColour(chosen);
}

FontChoice FontColourDialog::choice() const
{
    FontChoice chosen = m_preset;
    const QFont now = m_fonts->currentFont();
    const QString family = FontBoxes::fontNames({now.family()}).value(0);
    if (!family.isEmpty() && family != FontBoxes::fontNames({m_shownFirst.family()}).value(0))
        chosen.font.setFamilies({family});
    if (now.bold() != m_shownFirst.bold())
        chosen.font.setBold(now.bold());
    if (now.italic() != m_shownFirst.italic())
        chosen.font.setItalic(now.italic());
    if (now.underline() != m_shownFirst.underline())
        chosen.font.setUnderline(now.underline());
    if (now.strikeOut() != m_shownFirst.strikeOut())
        chosen.font.setStrikeOut(now.strikeOut());
    if (m_size != m_sizeFirst)
        chosen.font.setPointSizeF(m_size);
    chosen.color = m_colour;
    return chosen;
}

std::optional<FontChoice> FontColourDialog::ask(const FontChoice &preset, QWidget *parent)
{
    FontColourDialog dialog(preset, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
