#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QPoint;
class RichTextBox;
class SettingsStore;
class SpellChecker;
class SpellHighlighter;

// Spell checking across the note boxes: Edit > Check Spelling turns it on and off (remembered in
// "SpellCheck"), and a right click on a misspelt word offers suggestions and "Add to Dictionary".
class SpellSession final : public QObject
{
    Q_OBJECT
public:
    // The checker may be without a dictionary: the command is then greyed out.
    SpellSession(SpellChecker *checker, SettingsStore *settings, const QList<RichTextBox *> &editors,
                 QObject *parent = nullptr);
    ~SpellSession() override;

    // The checkable menu item that shows and switches the state.
    void setAction(QAction *action);

    bool isOn() const { return m_on; }
    void setOn(bool on); // also stores the choice
    SpellHighlighter *highlighter(RichTextBox *box) const;

    // Puts the suggestions for the misspelt word under the point (in global coordinates) and
    // "Add to Dictionary" into the menu. False, leaving the menu alone, when there is no such word.
    bool addContextItems(QMenu *menu, RichTextBox *box, const QPoint &globalPos);

private:
    void apply();

    QPointer<SpellChecker> m_checker;
    SettingsStore *m_settings;
    QList<QPointer<RichTextBox>> m_editors;
    QList<QPointer<SpellHighlighter>> m_highlighters;
    QPointer<QAction> m_action;
    bool m_on = false;
};
