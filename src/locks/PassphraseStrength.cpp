#include "PassphraseStrength.h"

#include <QList>

#include <array>
#include <cmath>
#include <vector>

namespace {

// Passwords that guessing programs try first, in lower case; a passphrase made of one of them
// (with digits or marks after it) or containing one gains almost nothing from it.
constexpr std::array kCommon{
    "12345678",   "123456789", "11111111",   "00000000",  "password", "passw0rd", "p@ssw0rd", "passwort",
    "passphrase", "123456",    "1234567890", "987654321", "qwerty",   "qwertz",   "azerty",   "asdfgh",
    "zxcvbn",     "letmein",   "welcome",    "iloveyou",  "admin",    "monkey",   "dragon",   "football",
    "baseball",   "sunshine",  "princess",   "master",    "shadow",   "superman", "batman",   "trustno1",
    "abc123",     "secret",    "starwars",   "computer",  "freedom",  "whatever", "summer",   "winter",
    "hello",      "login",     "quillbox",   "changeme",
};

// What a word of the list is worth to a guesser: which of a few thousand likely words it is.
constexpr double kCommonWordBits = 12;

// Bits a character is worth when it only repeats the one before or goes on a run ("aaa", "abc",
// "321"): guessers try those first.
constexpr double kRunBits = 1;

double poolBits(const QList<uint> &chars)
{
    bool lower = false, upper = false, digit = false, mark = false, other = false;
    for (const uint c : chars) {
        if (c >= 'a' && c <= 'z')
            lower = true;
        else if (c >= 'A' && c <= 'Z')
            upper = true;
        else if (c >= '0' && c <= '9')
            digit = true;
        else if (c < 128)
            mark = true; // blanks and punctuation
        else
            other = true; // letters of other alphabets, accents, symbols
    }
    const int pool =
        (lower ? 26 : 0) + (upper ? 26 : 0) + (digit ? 10 : 0) + (mark ? 33 : 0) + (other ? 100 : 0);
    return pool > 1 ? std::log2(double(pool)) : 1;
}

// Each character's worth in bits: the pool's for a fresh one, little for one that merely continues
// a repeat or a run.
std::vector<double> characterBits(const QList<uint> &chars, double perChar)
{
    std::vector<double> bits(chars.size(), perChar);
    for (qsizetype i = 1; i < chars.size(); ++i) {
        const qint64 step = qint64(chars[i]) - qint64(chars[i - 1]);
        const bool repeat = step == 0;
        const bool run = i >= 2 && std::abs(step) == 1 && step == qint64(chars[i - 1]) - qint64(chars[i - 2]);
        if (repeat || run)
            bits[i] = kRunBits;
    }
    return bits;
}

// Characters inside a word of the common list count as that word, not letter by letter.
double discountCommonWords(const QString &lower, std::vector<double> &bits)
{
    double words = 0;
    std::vector<bool> covered(bits.size(), false);
    for (const char *word : kCommon) {
        const QString w = QString::fromLatin1(word);
        for (qsizetype at = lower.indexOf(w); at >= 0; at = lower.indexOf(w, at + w.size())) {
            words += kCommonWordBits;
            for (qsizetype i = at; i < at + w.size(); ++i)
                covered[i] = true;
        }
    }
    for (size_t i = 0; i < bits.size(); ++i) {
        if (covered[i])
            bits[i] = 0;
    }
    return words;
}

// The shortest piece the whole passphrase repeats ("abcabcabc" -> 3), or its length.
qsizetype period(const QList<uint> &chars)
{
    const qsizetype n = chars.size();
    for (qsizetype p = 1; p <= n / 2; ++p) {
        bool repeats = true;
        for (qsizetype i = p; i < n && repeats; ++i)
            repeats = chars[i] == chars[i - p];
        if (repeats)
            return p;
    }
    return n;
}

// Whether the passphrase is a common password with only digits or marks around it
// ("Password1!", "123456789").
bool isCommonPassword(const QString &lower)
{
    qsizetype begin = 0, end = lower.size();
    while (end > begin && !lower[end - 1].isLetter())
        --end;
    while (begin < end && !lower[begin].isLetter())
        ++begin;
    const QString core = begin < end ? lower.mid(begin, end - begin) : lower;
    for (const char *word : kCommon) {
        if (core == QLatin1String(word) || lower == QLatin1String(word))
            return true;
    }
    return false;
}

} // namespace

bool PassphraseStrength::longEnough(const QString &passphrase)
{
    // Characters as the user counts them, not UTF-16 units.
    return passphrase.toUcs4().size() >= MinimumLength;
}

PassphraseStrength::Rating PassphraseStrength::rate(const QString &passphrase)
{
    if (!longEnough(passphrase))
        return {0, QStringLiteral("Too short: at least %1 characters.").arg(MinimumLength)};
    const QString lower = passphrase.toLower();
    if (isCommonPassword(lower))
        return {0, QStringLiteral("Weak: a very common password.")};

    const QList<uint> chars = passphrase.toUcs4();
    std::vector<double> bits = characterBits(chars, poolBits(chars));
    // The list is plain ASCII; beyond it, a character may take two UTF-16 units or change length
    // in lower case, and the word places would not line up with the characters.
    const bool unitsAreCharacters = chars.size() == passphrase.size() && lower.size() == passphrase.size();
    double total = unitsAreCharacters ? discountCommonWords(lower, bits) : 0;
    const qsizetype piece = period(chars);
    for (qsizetype i = 0; i < piece; ++i)
        total += bits[size_t(i)];
    if (piece < chars.size())
        total += std::log2(double(chars.size()) / double(piece)) + 1;

    if (total < 30)
        return {1, QStringLiteral("Weak: add words or other characters.")};
    if (total < 50)
        return {2, QStringLiteral("Fair: a longer passphrase is safer.")};
    if (total < 70)
        return {3, QStringLiteral("Good")};
    return {4, QStringLiteral("Strong")};
}
