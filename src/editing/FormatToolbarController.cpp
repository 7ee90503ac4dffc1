#include "FormatToolbarController.h"

#include "FormatPainter.h"
#include "RichTextBox.h"
#include "SettingsStore.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

FormatToolbarController::FormatToolbarController(EditorAccess access, FormatPainter *painter,
                                                 QObject *parent)
    : QObject(parent)
    , m_access(std::move(access))
    , m_painter(painter)
{
    if (m_painter)
        connect(m_painter, &FormatPainter::applied, this,
                [this] { setPressed(QStringLiteral("FPt"), false); });
}

void FormatToolbarController::setButton(const QString &key, QAction *button)
{
    m_buttons.insert(key, button);
}

void FormatToolbarController::setFontBoxes(QComboBox *name, QComboBox *size)
{
    m_nameBox = name;
    m_sizeBox = size;
}

void FormatToolbarController::setPressed(const QString &key, bool pressed)
{
    if (QAction *button = m_buttons.value(key)) {
        const QSignalBlocker quiet(button); // showing a state is not a click
        button->setChecked(pressed);
    }
}

// A mixed selection is left as it is: negating "neither true nor false" has no answer.
void FormatToolbarController::toggle(const QString &key)
{
    RichTextBox *box = m_access.activeBox();
    if (!box)
        return;
    std::optional<bool> now;
    if (key == u"Bold") {
        if (const auto v = box->SelBold())
            box->setSelBold(!*v);
        now = box->SelBold();
    } else if (key == u"Italic") {
        if (const auto v = box->SelItalic())
            box->setSelItalic(!*v);
        now = box->SelItalic();
    } else {
        if (const auto v = box->SelUnderline())
            box->setSelUnderline(!*v);
        now = box->SelUnderline();
    }
    setPressed(key, now.value_or(false));
    m_access.focusShownBox();
}

void FormatToolbarController::click(const QString &key)
{
    RichTextBox *box = m_access.activeBox();
    const RichTextBox::UndoStep step(box); // one button, one Undo
    if (key == u"Bold" || key == u"Italic" || key == u"Underline") {
        toggle(key);
    } else if (key == u"Align Left" || key == u"Center" || key == u"Align Right") {
        if (box)
            box->setSelAlignment(key == u"Align Left" ? RichTextBox::AlignLeft
                                 : key == u"Center"   ? RichTextBox::AlignCenter
                                                      : RichTextBox::AlignRight);
        m_access.focusShownBox();
    } else if (key == u"FPt") {
        setPressed(key, true);
        if (m_painter) {
            m_painter->arm();
            m_painter->run();
        }
    } else if (key == u"Bullets") {
        if (!box)
            return;
        if (box->SelBullet() != std::optional<bool>(true)) {
            box->setSelBullet(true);
            setPressed(key, true);
        } else {
            box->setSelBullet(false);
            box->setSelHangingIndent(0);
            setPressed(key, false);
        }
    }
}

void FormatToolbarController::chkBullets()
{
    RichTextBox *box = m_access.activeBox();
    setPressed(QStringLiteral("Bullets"), box && box->SelBullet() == std::optional<bool>(true));
}

void FormatToolbarController::sync()
{
    RichTextBox *box = m_access.activeBox();
    if (!box)
        return;
    chkBullets();
    setPressed(QStringLiteral("Bold"), box->SelBold().value_or(false));
    setPressed(QStringLiteral("Italic"), box->SelItalic().value_or(false));
    setPressed(QStringLiteral("Underline"), box->SelUnderline().value_or(false));
    const std::optional<int> align = box->SelAlignment();
    const std::pair<const char *, int> aligns[] = {{"Align Left", RichTextBox::AlignLeft},
                                                    {"Center", RichTextBox::AlignCenter},
                                                    {"Align Right", RichTextBox::AlignRight}};
    // An exclusive group refuses to release its last pressed button, yet a mixed alignment shows
    // all three released; exclusivity is lifted while the states are set.
    QAction *first = m_buttons.value(QStringLiteral("Align Left"));
    QActionGroup *group = first ? first->actionGroup() : nullptr;
    const auto policy = group ? group->exclusionPolicy() : QActionGroup::ExclusionPolicy::None;
    if (group)
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (const auto &[key, code] : aligns)
        setPressed(QString::fromLatin1(key), align == code);
    if (group)
        group->setExclusionPolicy(policy);
    if (const auto name = box->SelFontName())
        showInFontBox(m_nameBox, *name);
    if (const auto size = box->SelFontSize())
        showInFontBox(m_sizeBox, shortestDecimal(*size));
}

void showInFontBox(QComboBox *box, const QString &text)
{
    if (!box)
        return;
    const QSignalBlocker quiet(box);
    if (box->isEditable()) {
        box->setEditText(text);
        return;
    }
    // A fixed list can only show one of its entries; the sizes carry a leading blank.
    int index = box->findText(text);
    if (index < 0)
        index = box->findText(u' ' + text);
    if (index >= 0)
        box->setCurrentIndex(index);
}
