#include "ParagraphDiff.h"

#include <algorithm>
#include <vector>

namespace {

using Hunk = ParagraphDiff::Hunk;

void addHunk(QList<Hunk> &hunks, int mineStart, int mineEnd, int theirsStart, int theirsEnd)
{
    if (mineStart < mineEnd || theirsStart < theirsEnd)
        hunks.append({mineStart, mineEnd - mineStart, theirsStart, theirsEnd - theirsStart});
}

// Longest common subsequence of mine[m0, m1) and theirs[t0, t1), walked into hunks.
void compareMiddle(const QStringList &mine, const QStringList &theirs, int m0, int m1, int t0, int t1,
                   QList<Hunk> &hunks)
{
    const int rows = m1 - m0;
    const int cols = t1 - t0;
    // common[i][j]: length of the longest common run of mine[m0 + i ..] and theirs[t0 + j ..].
    std::vector<int> common(static_cast<size_t>(rows + 1) * static_cast<size_t>(cols + 1), 0);
    const auto at = [cols](int i, int j) {
        return static_cast<size_t>(i) * static_cast<size_t>(cols + 1) + static_cast<size_t>(j);
    };
    for (int i = rows - 1; i >= 0; --i) {
        for (int j = cols - 1; j >= 0; --j) {
            common[at(i, j)] = mine[m0 + i] == theirs[t0 + j]
                                   ? common[at(i + 1, j + 1)] + 1
                                   : std::max(common[at(i + 1, j)], common[at(i, j + 1)]);
        }
    }
    int i = 0, j = 0, hunkI = 0, hunkJ = 0;
    while (i < rows || j < cols) {
        if (i < rows && j < cols && mine[m0 + i] == theirs[t0 + j]) {
            addHunk(hunks, m0 + hunkI, m0 + i, t0 + hunkJ, t0 + j);
            hunkI = ++i;
            hunkJ = ++j;
        } else if (j == cols || (i < rows && common[at(i + 1, j)] >= common[at(i, j + 1)])) {
            ++i;
        } else {
            ++j;
        }
    }
    addHunk(hunks, m0 + hunkI, m1, t0 + hunkJ, t1);
}
} // namespace

ParagraphDiff ParagraphDiff::of(const QStringList &mine, const QStringList &theirs)
{
    ParagraphDiff diff;
    // Conflicts are mostly a few lines in a long note: the common beginning and end are skipped
    // before the costly comparison.
    int begin = 0;
    int mineEnd = static_cast<int>(mine.size());
    int theirsEnd = static_cast<int>(theirs.size());
    while (begin < mineEnd && begin < theirsEnd && mine[begin] == theirs[begin])
        ++begin;
    while (mineEnd > begin && theirsEnd > begin && mine[mineEnd - 1] == theirs[theirsEnd - 1]) {
        --mineEnd;
        --theirsEnd;
    }
    if (qint64(mineEnd - begin) * qint64(theirsEnd - begin) > MaxCompared)
        addHunk(diff.hunks, begin, mineEnd, begin, theirsEnd);
    else
        compareMiddle(mine, theirs, begin, mineEnd, begin, theirsEnd, diff.hunks);
    return diff;
}

QList<int> ParagraphDiff::changedMine() const
{
    QList<int> result;
    for (const Hunk &hunk : hunks) {
        for (int i = 0; i < hunk.mineCount; ++i)
            result.append(hunk.mineStart + i);
    }
    return result;
}

QList<int> ParagraphDiff::changedTheirs() const
{
    QList<int> result;
    for (const Hunk &hunk : hunks) {
        for (int i = 0; i < hunk.theirsCount; ++i)
            result.append(hunk.theirsStart + i);
    }
    return result;
}

int ParagraphDiff::differing() const
{
    int count = 0;
    for (const Hunk &hunk : hunks)
        count += std::max(hunk.mineCount, hunk.theirsCount);
    return count;
}
