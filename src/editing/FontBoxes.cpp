#include "FontBoxes.h"

#include "FontColourDialog.h"
#include "RichTextBox.h"
#include "SettingKeys.h"
#include "SettingsStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>

#include <cmath>

FontBoxes::FontBoxes(EditorAccess access, SettingsStore *settings, QObject *parent)
    : QObject(parent), m_access(std::move(access)), m_settings(settings),
      m_chooser([this](const FontChoice &preset) {
          // A dialog of its own would open behind a window kept on top.
          RichTextBox *box = m_access.activeBox();
          return FontColourDialog::ask(preset, box ? box->window() : nullptr);
      })
{
}

void FontBoxes::setBoxes(QComboBox *name, QComboBox *size)
{
    m_nameBox = name;
    m_sizeBox = size;
    if (name) {
        connect(name, &QComboBox::activated, this, &FontBoxes::nameClicked);
        if (QLineEdit *field = name->lineEdit())
            connect(field, &QLineEdit::returnPressed, this,
                    [this] { nameEntered(m_nameBox->currentText()); });
    }
    if (size) {
        connect(size, &QComboBox::activated, this, &FontBoxes::sizeClicked);
        if (QLineEdit *field = size->lineEdit())
            connect(field, &QLineEdit::returnPressed, this,
                    [this] { sizeEntered(m_sizeBox->currentText()); });
    }
}

void FontBoxes::setChooser(Chooser chooser)
{
    m_chooser = std::move(chooser);
}

QStringList FontBoxes::fontNames(const QStringList &families)
{
    // The font database tells families of one name from different foundries apart as
    // "Nimbus Sans [URW]"; the user and the notes know only the name.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList names;
    for (const QString &family : families) {
        const QString name = QString(family).remove(foundry);
        if (!name.trimmed().isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

void FontBoxes::fill(const QStringList &families, RichTextBox *first)
{
    if (m_nameBox) {
        m_nameBox->clear();
        m_nameBox->addItems(fontNames(families));
    }
    if (m_sizeBox) {
        QStringList sizes;
        for (int points = 5; points <= 72; ++points)
            sizes.append(u' ' + QString::number(points));
        m_sizeBox->clear();
        m_sizeBox->addItems(sizes);
    }
    if (!first) {
        // No note to show the font of yet (it is still being read): no font rather than the
        // first of the lists.
        for (QComboBox *box : {m_nameBox, m_sizeBox})
            if (box)
                box->setCurrentIndex(-1);
        return;
    }
    if (const auto name = first->SelFontName(); name && m_nameBox) {
        const int index = m_nameBox->findText(*name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0) {
            m_nameBox->setCurrentIndex(index);
            nameClicked(index);
        }
    }
    if (const auto size = first->SelFontSize(); size && m_sizeBox) {
        const int index = int(std::floor(*size)) - 5;
        if (index >= 0 && index < m_sizeBox->count()) {
            m_sizeBox->setCurrentIndex(index);
            sizeClicked(index);
        }
    }
}

// Entry 0 (" 5") is never applied from the box: choosing it leaves the size as it was. The
// selected entry counts, not the text in the box's field: that shows the selection's size, and
// after a selection of mixed sizes it still shows the size of an earlier one.
void FontBoxes::applyChosenSize(RichTextBox *box)
{
    if (m_sizeBox && m_sizeBox->currentIndex() > 0)
        box->setSelFontSize(m_sizeBox->itemText(m_sizeBox->currentIndex()));
}

void FontBoxes::nameClicked(int index)
{
    RichTextBox *box = m_access.activeBox();
    if (box && m_nameBox && index >= 0 && index < m_nameBox->count()) {
        const RichTextBox::UndoStep step(box);
        box->setSelFontName(m_nameBox->itemText(index));
    }
    m_access.focusShownBox();
}

void FontBoxes::sizeClicked(int)
{
    if (RichTextBox *box = m_access.activeBox())
        applyChosenSize(box);
    m_access.focusShownBox();
}

void FontBoxes::nameEntered(const QString &text)
{
    RichTextBox *box = m_access.activeBox();
    if (!box || !m_nameBox)
        return;
    // Fonts are found by name whatever its case; the note gets the name as the list spells it.
    const QString typed = text.trimmed();
    int index = m_nameBox->findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        index = m_nameBox->findText(typed, Qt::MatchFixedString);
    if (typed.isEmpty() || index < 0) {
        showSelectionIn(m_nameBox);
        return;
    }
    {
        const RichTextBox::UndoStep step(box);
        box->setSelFontName(m_nameBox->itemText(index));
    }
    showSelectionIn(m_nameBox);
    m_access.focusShownBox();
}

void FontBoxes::sizeEntered(const QString &text)
{
    RichTextBox *box = m_access.activeBox();
    if (!box)
        return;
    bool applied = false;
    {
        const RichTextBox::UndoStep step(box);
        applied = box->setSelFontSize(text);
    }
    showSelectionIn(m_sizeBox);
    if (applied)
        m_access.focusShownBox();
}

// The selection's name or size, as the toolbar shows it; blank when the selection is mixed. A
// wrong entry stays in the box for a retry, so the focus stays there too.
void FontBoxes::showSelectionIn(QComboBox *fontBox)
{
    RichTextBox *box = m_access.activeBox();
    if (!fontBox || !box)
        return;
    QString text;
    if (fontBox == m_nameBox)
        text = box->SelFontName().value_or(QString());
    else if (const auto size = box->SelFontSize())
        text = shortestDecimal(*size);
    const QSignalBlocker quiet(fontBox);
    // With the entry of that text current, the box's own look-up when the field is left finds
    // nothing new to pick.
    const int index = fontBox->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        fontBox->setCurrentIndex(index);
    fontBox->setEditText(text);
}

void FontBoxes::fontDialog()
{
    RichTextBox *box = m_access.activeBox();
    if (!box || !m_chooser)
        return;
    // The dialog opens on the selection's font; what differs within the selection shows as the
    // note's base font has it.
    FontChoice preset{box->document()->defaultFont(), QColor()};
    // Every attribute but bold must be uniform; a mixed one makes the dialog's answer unusable
    // for it, and the selection is then left as it is.
    const auto name = box->SelFontName();
    const auto size = box->SelFontSize();
    const auto color = box->SelColor();
    const auto italic = box->SelItalic();
    const auto underline = box->SelUnderline();
    const auto strike = box->SelStrikeThru();
    const bool mixed = !name || !size || !color || !italic || !underline || !strike;
    if (name)
        preset.font.setFamilies({*name});
    if (size)
        preset.font.setPointSizeF(std::clamp(*size, DialogMinSize, DialogMaxSize));
    if (color)
        preset.color = *color;
    if (italic)
        preset.font.setItalic(*italic);
    if (underline)
        preset.font.setUnderline(*underline);
    if (strike)
        preset.font.setStrikeOut(*strike);
    if (const auto bold = box->SelBold())
        preset.font.setBold(*bold);

    const std::optional<FontChoice> chosen = m_chooser(preset);
    if (!chosen || mixed)
        return;
    // Only what the user changed is applied: OK at once leaves the note exactly as it was, and a
    // new colour does not bring the size the dialog offered in place of one it cannot show.
    const QFont &was = preset.font;
    const QFont &now = chosen->font;
    const QString family = fontNames({now.family()}).value(0);
    const RichTextBox::UndoStep step(box); // one choice in the dialog, one Undo
    if (!family.isEmpty() && family != was.family())
        box->setSelFontName(family);
    if (now.bold() != was.bold())
        box->setSelBold(now.bold());
    if (now.italic() != was.italic())
        box->setSelItalic(now.italic());
    if (now.pointSizeF() != was.pointSizeF())
        box->setSelFontSize(std::clamp(now.pointSizeF(), DialogMinSize, DialogMaxSize));
    if (chosen->color != preset.color)
        box->setSelColor(chosen->color);
    if (now.underline() != was.underline())
        box->setSelUnderline(now.underline());
    if (now.strikeOut() != was.strikeOut())
        box->setSelStrikeThru(now.strikeOut());
}

void FontBoxes::toggleBold()
{
    if (RichTextBox *box = m_access.activeBox())
        if (const auto v = box->SelBold())
            box->setSelBold(!*v);
}

void FontBoxes::toggleItalic()
{
    if (RichTextBox *box = m_access.activeBox())
        if (const auto v = box->SelItalic())
            box->setSelItalic(!*v);
}

void FontBoxes::toggleUnderline()
{
    if (RichTextBox *box = m_access.activeBox())
        if (const auto v = box->SelUnderline())
            box->setSelUnderline(!*v);
}

void FontBoxes::setFontAsDefault()
{
    RichTextBox *box = m_access.activeBox();
    if (!box || !m_settings)
        return;
    const auto name = box->SelFontName();
    const auto size = box->SelFontSize();
    m_settings->SaveSettingValue(SettingKey::DefaultFont, name.value_or(QString()));
    m_settings->SaveSettingValue(SettingKey::DefaultFontSize, size ? shortestDecimal(*size) : QString());
}
