#include "FontColourDialog.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStringListModel>

#include <cmath>

namespace {
// A font the system does not have is shown as the family that stands in for it, so the
// dialog never opens on a blank name.
QFont withInstalledFamily(QFont font)
{
    if (!QFontDatabase::families().contains(font.family()))
        font.setFamily(QFontInfo(font).family());
    return font;
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
} // namespace

FontColourDialog::FontColourDialog(const FontChoice &preset, QWidget *parent)
    : QDialog(parent), m_fonts(new QFontDialog(this)),
      m_colourButton(new QPushButton(tr("&Colour..."), this)), m_colour(preset.color)
{
    setObjectName(QStringLiteral("FontDialog"));
    setWindowTitle(tr("Font"));
    // The chooser lives inside this dialog, with its own buttons left out.
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::ScalableFonts | QFontDialog::NonScalableFonts);
    m_fonts->setCurrentFont(withInstalledFamily(preset.font));
    m_colourButton->setObjectName(QStringLiteral("cmdColour"));
    m_colourButton->setAccessibleName(tr("Colour"));
    m_colourButton->setAutoDefault(false);
    setColour(preset.color);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_colourButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts, 1);
    layout->addLayout(bottom);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_colourButton, &QPushButton::clicked, this, &FontColourDialog::pickColour);
    // The chooser fills its size list afresh for each family and style.
    connect(m_fonts, &QFontDialog::currentFontChanged, this, &FontColourDialog::keepDialogSizes,
            Qt::QueuedConnection);
    keepDialogSizes();
}

// Only the sizes the dialog allows are offered; a size typed outside them is brought within
// them when the choice is applied.
void FontColourDialog::keepDialogSizes()
{
    const QList<QListView *> lists = m_fonts->findChildren<QListView *>();
    for (QListView *list : lists) {
        auto *model = qobject_cast<QStringListModel *>(list->model());
        if (!model)
            continue;
        const QStringList entries = model->stringList();
        bool sizes = !entries.isEmpty();
        for (const QString &entry : entries)
            sizes = sizes && entry.toDouble() > 0;
        if (!sizes)
            continue;
        QStringList kept;
        for (int points = int(FontBoxes::DialogMinSize); points <= int(FontBoxes::DialogMaxSize); ++points)
            kept << QString::number(points);
        if (entries == kept)
            return;
        const QString current = list->currentIndex().data().toString();
        model->setStringList(kept);
        const int row = kept.indexOf(current);
        if (row >= 0)
            list->setCurrentIndex(model->index(row));
        return;
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
    return FontChoice{m_fonts->currentFont(), m_colour};
}

std::optional<FontChoice> FontColourDialog::ask(const FontChoice &preset, QWidget *parent)
{
    FontColourDialog dialog(preset, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
