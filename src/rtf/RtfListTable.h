#pragma once

#include <QByteArray>
#include <QTextListFormat>

#include <array>
#include <functional>
#include <map>
#include <vector>

class QTextList;

namespace rtf {

// Word's form of the document's lists, written beside rich edit's {\pn} so that readers which
// know only one of them still see the lists and their levels. Lists that nest in one another
// share a \list with one level per depth; each \list is used through one \ls number.
class ListTable final
{
public:
    struct Use
    {
        int ls = 0; // 1-based override number
        int level = 0;
    };

    // The list and level a paragraph of `list` belongs to; call for the paragraphs in order, with
    // nullptr for those that are not list items.
    Use paragraphIn(const QTextList *list);

    bool isEmpty() const { return m_lists.empty(); }
    // {\*\listtable ...}{\*\listoverridetable ...}; escapeText writes a label's text as RTF.
    QByteArray write(const std::function<QByteArray(const QString &)> &escapeText) const;

private:
    struct Level
    {
        bool defined = false;
        QTextListFormat::Style style = QTextListFormat::ListDisc;
        QString prefix;
        QString suffix;
    };
    struct WordList
    {
        std::array<Level, 9> levels;
        std::array<const QTextList *, 9> open{};
    };

    static bool fits(const Level &level, const QTextListFormat &format);
    static Level levelFor(const QTextListFormat &format);
    void enter(int index, const QTextList *list, int level);

    std::vector<WordList> m_lists;
    std::map<const QTextList *, int> m_listOf;
    int m_current = -1; // the list the previous paragraph belonged to, -1 after a non-list one
};

} // namespace rtf
