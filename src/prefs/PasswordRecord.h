#pragma once

#include <QString>

// The start-up password as the settings store keeps it under "drow": a fixed prefix, the password
// without blanks at either end, and a fixed suffix, nothing else. Settings written by earlier
// versions depend on exactly this form, so it is neither encrypted nor hashed.
class PasswordRecord final
{
public:
    static const QString &prefix(); // 25 characters
    static const QString &suffix(); // 11 characters

    // The record for a password; the password is trimmed first. An empty string when the trimmed
    // password is empty, since such a record would lock nothing.
    static QString wrap(const QString &password);

    // The password held by a stored value, or an empty string when the value holds none: a blank
    // value, or one too short to hold both literals and at least one character (a damaged record
    // must not lock the user out of the notes). One final NUL is ignored. The literals themselves
    // are not compared, so a record with a changed prefix still yields its password.
    static QString extract(const QString &stored);

    // True when the answer typed at start-up opens a record holding this password: blanks around
    // the answer do not count, letter case does.
    static bool matches(const QString &answer, const QString &password);
};
