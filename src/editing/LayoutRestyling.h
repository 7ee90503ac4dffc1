#pragma once

#include <QPointer>

class QObject;
class QTextBlock;
class QTextDocument;

// While one lives, the changes reported for a note only restyle its text through the paragraphs'
// layouts (spelling underlines): every paragraph keeps its lines' places, so a whole note can be
// underlined paragraph by paragraph without moving the rest of it each time.
class LayoutRestyling
{
public:
    explicit LayoutRestyling(QTextDocument *doc);
    ~LayoutRestyling();
    LayoutRestyling(const LayoutRestyling &) = delete;
    LayoutRestyling &operator=(const LayoutRestyling &) = delete;

    // To be called just before new extra formats are set on a paragraph's layout, which drops its
    // lines: the note's layout keeps them, to lay the paragraph out again in the same place.
    static void keepLines(const QTextBlock &block);

private:
    QPointer<QObject> m_layout;
};
