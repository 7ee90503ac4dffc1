#pragma once

#include <QObject>

#include <functional>

class QTabBar;
class QWidget;

// The keyboard on the tab strip. Clicking a tab gives the strip the keyboard (which is what makes
// the note just left write itself back); a printable key typed then goes into the note in view,
// which takes the keyboard, instead of being dropped. Ctrl+Tab and Ctrl+PgDown go to the next
// tab, Ctrl+Shift+Tab and Ctrl+PgUp to the one before, as in other Linux editors, writing the
// note being left as a click on a tab does.
class TabStripKeys final : public QObject
{
public:
    // note(typing): the widget holding the keyboard for the note in view: its box, or its stand-in
    // while it is read, unless a key is to be typed into it (then it is read at once).
    TabStripKeys(QTabBar *strip, QWidget *window, std::function<QWidget *(bool typing)> note);

    // The tab strip's next or previous tab, going round at the ends.
    void step(int by);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTabBar *m_strip;
    std::function<QWidget *(bool typing)> m_note;
};
