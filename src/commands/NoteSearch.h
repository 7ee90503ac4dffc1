#pragma once

#include <QList>
#include <QString>

#include <atomic>

// Searching the text of every shown note at once. Plain data in, plain data out, so the search
// can run on a worker thread while the user goes on typing.
namespace NoteSearch {

struct Note
{
    int number = 0;  // 1..7
    QString caption; // the tab's caption
    QString text;    // the note as plain text; positions match the editor's character positions
};

struct Options
{
    bool matchCase = false;
    bool wholeWord = false;
};

struct Match
{
    int note = 0;
    QString caption;
    int position = 0; // in the note
    int length = 0;
    QString line;      // the line holding the match, shortened around it for long lines
    int lineStart = 0; // where the match starts within line
};

struct Result
{
    QList<Match> matches;
    bool truncated = false; // more matches than the limit; only the first ones are listed
    bool cancelled = false;
};

// Matches in note order, then position order. A set cancel flag ends the search early (a newer
// search has replaced it).
Result search(const QList<Note> &notes, const QString &term, Options options, int limit = 1000,
              const std::atomic_bool *cancel = nullptr);

} // namespace NoteSearch
