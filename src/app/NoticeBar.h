#pragma once

#include <QFrame>
#include <QStringList>

#include <functional>

class QVBoxLayout;

// Tells the user of things that happened on their own (the note directory went away, a note was
// changed here and elsewhere, a note could not be saved) without taking the keyboard: a bar above
// the note that never takes the focus, one line per event, each staying until it is dismissed or
// the event is over. A message box here would swallow the keys typed in the moment it pops up.
class NoticeBar final : public QFrame
{
    Q_OBJECT
public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // Shows the notice of one event; a later notice of the same event replaces it. With an action,
    // the notice carries a button for it (which never takes the focus either).
    void show(const QString &event, const QString &text, const QString &actionText = {},
              std::function<void()> action = {});
    // The event is over (the directory is back, the note is saved): its notice goes.
    void dismiss(const QString &event);
    QStringList texts() const;

private:
    QVBoxLayout *m_rows;
};
