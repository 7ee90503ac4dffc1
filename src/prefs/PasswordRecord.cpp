#include "PasswordRecord.h"

const QString &PasswordRecord::prefix()
{
    static const QString text = QStringLiteral("580917264dKwpBXZMNQr8#hja");
    return text;
}

const QString &PasswordRecord::suffix()
{
    static const QString text = QStringLiteral("719036825kq");
    return text;
}

QString PasswordRecord::wrap(const QString &password)
{
    const QString trimmed = password.trimmed();
    if (trimmed.isEmpty())
        return {};
    return prefix() + trimmed + suffix();
}

QString PasswordRecord::extract(const QString &stored)
{
    const QString trimmed = stored.trimmed();
    if (trimmed.isEmpty())
        return {};

    // A value written by hand or by another tool may carry a C string's terminator; the trimmed
    // value without it counts, otherwise the value as it was read.
    QString value = stored;
    if (trimmed.endsWith(QChar(0))) {
        value = trimmed;
        value.chop(1);
    }

    const qsizetype literals = prefix().size() + suffix().size();
    if (value.trimmed().size() < literals + 1)
        return {};

    QString password = value.mid(prefix().size()).trimmed();
    password.chop(suffix().size());
    // Blanks between the literals alone make no password.
    return password.trimmed().isEmpty() ? QString() : password;
}

bool PasswordRecord::matches(const QString &answer, const QString &password)
{
    return !password.isEmpty() && answer.trimmed() == password;
}
