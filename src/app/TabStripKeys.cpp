#include "TabStripKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QTabBar>

TabStripKeys::TabStripKeys(QTabBar *strip, QWidget *window, std::function<QWidget *(bool typing)> note)
    : QObject(strip), m_strip(strip), m_note(std::move(note))
{
    strip->installEventFilter(this);
    const auto add = [this, window](QKeyCombination key, int by) {
        auto *shortcut = new QShortcut(QKeySequence(key), window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, by] { step(by); });
    };
    add(Qt::CTRL | Qt::Key_Tab, 1);
    add(Qt::CTRL | Qt::Key_PageDown, 1);
    add(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1);
    add(Qt::CTRL | Qt::Key_PageUp, -1);
}

void TabStripKeys::step(int by)
{
    const int count = m_strip->count();
    if (count < 2)
        return;
    // Through the strip, as a click on a tab goes: the note being left writes itself back.
    m_strip->setFocus(Qt::TabFocusReason);
    m_strip->setCurrentIndex((m_strip->currentIndex() + by + count) % count);
    if (QWidget *note = m_note(false))
        note->setFocus(Qt::TabFocusReason);
}

bool TabStripKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_strip || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool printable = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    QWidget *note = printable ? m_note(true) : nullptr;
    if (!note)
        return false;
    note->setFocus(Qt::OtherFocusReason);
    QKeyEvent again(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                    key->count());
    QCoreApplication::sendEvent(note, &again);
    return true;
}
