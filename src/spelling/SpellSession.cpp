#include "SpellSession.h"

#include "RichTextBox.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"
#include "SpellChecker.h"
#include "SpellHighlighter.h"

#include <QAction>
#include <QMenu>
#include <QTextBlock>

SpellSession::SpellSession(SpellChecker *checker, SettingsStore *settings,
                           const QList<RichTextBox *> &editors, QObject *parent)
    : QObject(parent), m_checker(checker), m_settings(settings)
{
    for (RichTextBox *box : editors)
        m_editors.append(box);
    // On unless the user turned it off, and only with a dictionary to check against.
    const QString stored = settings ? settings->GetSettingValue(SettingKey::SpellCheck).trimmed() : QString();
    m_on = checker && checker->hasDictionary() && (stored.isEmpty() || SettingValue::isYes(stored));
    if (checker)
        connect(checker, &SpellChecker::wordsChanged, this, [this] {
            for (const QPointer<SpellHighlighter> &h : std::as_const(m_highlighters))
                if (h)
                    h->recheck();
        });
    apply();
}

SpellSession::~SpellSession()
{
    for (const QPointer<SpellHighlighter> &h : std::as_const(m_highlighters))
        delete h.data();
}

void SpellSession::setAction(QAction *action)
{
    m_action = action;
    if (!action)
        return;
    action->setCheckable(true);
    action->setChecked(m_on);
    action->setEnabled(m_checker && m_checker->hasDictionary());
    connect(action, &QAction::toggled, this, &SpellSession::setOn);
}

void SpellSession::setOn(bool on)
{
    if (on && !(m_checker && m_checker->hasDictionary()))
        on = false;
    if (m_settings)
        m_settings->SaveSettingValue(SettingKey::SpellCheck,
                                     on ? QStringLiteral("Yes") : QStringLiteral("No"));
    if (m_action && m_action->isChecked() != on)
        m_action->setChecked(on);
    if (on == m_on)
        return;
    m_on = on;
    apply();
}

// Removing a highlighter takes its underlines with it; adding one checks the note afresh.
void SpellSession::apply()
{
    for (const QPointer<SpellHighlighter> &h : std::as_const(m_highlighters))
        delete h.data();
    m_highlighters.clear();
    if (!m_on)
        return;
    for (const QPointer<RichTextBox> &box : std::as_const(m_editors))
        if (box)
            m_highlighters.append(new SpellHighlighter(box->document(), m_checker));
}

SpellHighlighter *SpellSession::highlighter(RichTextBox *box) const
{
    for (const QPointer<SpellHighlighter> &h : m_highlighters)
        if (h && box && h->document() == box->document())
            return h;
    return nullptr;
}

bool SpellSession::addContextItems(QMenu *menu, RichTextBox *box, const QPoint &globalPos)
{
    if (!m_on || !m_checker || !menu || !box)
        return false;
    const QTextCursor at = box->cursorForPosition(box->viewport()->mapFromGlobal(globalPos));
    const QTextBlock block = at.block();
    const QString text = block.text();
    const int inBlock = at.positionInBlock();
    for (const SpellHighlighter::Word &word : SpellHighlighter::wordsIn(text)) {
        if (inBlock < word.start || inBlock > word.start + word.length)
            continue;
        const QString spelt = text.mid(word.start, word.length);
        if (m_checker->isCorrect(spelt))
            return false;
        const int from = block.position() + word.start;
        QPointer<RichTextBox> target = box;
        const QStringList suggestions = m_checker->suggestions(spelt, 5);
        for (const QString &suggestion : suggestions) {
            QAction *use = menu->addAction(suggestion);
            connect(use, &QAction::triggered, box, [target, from, spelt, suggestion] {
                if (!target || target->isReadOnly())
                    return;
                QTextCursor c(target->document());
                c.setPosition(from);
                c.setPosition(from + int(spelt.size()), QTextCursor::KeepAnchor);
                if (c.selectedText() == spelt) // the note may have changed meanwhile
                    c.insertText(suggestion);
            });
        }
        if (suggestions.isEmpty())
            menu->addAction(QStringLiteral("(No Suggestions)"))->setEnabled(false);
        menu->addSeparator();
        QAction *add = menu->addAction(QStringLiteral("Add to Dictionary"));
        add->setObjectName(QStringLiteral("addtodictionary"));
        QPointer<SpellChecker> checker = m_checker;
        connect(add, &QAction::triggered, this, [checker, spelt] {
            if (checker)
                checker->addToDictionary(spelt);
        });
        return true;
    }
    return false;
}
