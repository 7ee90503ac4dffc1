#pragma once

#include <QString>

// How hard a passphrase would be to guess, for the hint under the passphrase field while the user
// types it. A rough estimate from its length, the kinds of characters it mixes, runs and repeats
// ("aaaa", "abcd", "abcabc") and a handful of very common passwords; it knows no dictionary, so it
// errs on the generous side for words that are not on its list.
namespace PassphraseStrength {

// A locked note cannot be locked with fewer characters than this.
inline constexpr int MinimumLength = 8;

struct Rating
{
    int score = 0; // 0 (too short or a very common password) to 4 (strong)
    QString hint;  // one short line: "Too short: at least 8 characters.", ..., "Strong"
};

Rating rate(const QString &passphrase);

// Whether the passphrase is long enough to lock a note with.
bool longEnough(const QString &passphrase);

} // namespace PassphraseStrength
