#pragma once

#include <QList>
#include <QStringList>

// Which paragraphs of two versions of a note differ, for showing them side by side. Paragraphs
// are compared by their text; the ones not in the longest run the two have in common are marked.
struct ParagraphDiff
{
    // One stretch where the versions differ: `mineCount` paragraphs from `mineStart` stand where
    // the other version has `theirsCount` from `theirsStart` (either count may be 0).
    struct Hunk
    {
        int mineStart = 0;
        int mineCount = 0;
        int theirsStart = 0;
        int theirsCount = 0;
        bool operator==(const Hunk &) const = default;
    };

    QList<Hunk> hunks;

    bool same() const { return hunks.isEmpty(); }
    // Paragraph numbers (from 0) to mark on either side.
    QList<int> changedMine() const;
    QList<int> changedTheirs() const;

    // How many paragraphs differ: one changed on both sides counts once, as does one that only
    // one side holds.
    int differing() const;

    static ParagraphDiff of(const QStringList &mine, const QStringList &theirs);

    // Beyond this many paragraph pairs left after the common beginning and end, the part in
    // between is marked as a whole rather than compared line by line (which costs their product).
    static constexpr qint64 MaxCompared = 4'000'000;
};
