#include "SettingValue.h"

#include <QLocale>

#include <limits>

namespace SettingValue {

double numeric(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    const auto isDigit = [&](qsizetype k) { return k < t.size() && t[k] >= u'0' && t[k] <= u'9'; };
    qsizetype digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == u'.') {
        qsizetype j = i + 1;
        while (isDigit(j)) {
            ++j;
            ++digits;
        }
        if (j > i + 1)
            i = j;
    }
    if (digits == 0)
        return 0;
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(t).left(i), &ok);
    return ok ? value : 0;
}

int wholeNumber(const QString &text)
{
    const double v = numeric(text);
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

QString dropFinalNul(const QString &text)
{
    if (!text.isEmpty() && text.back() == QChar(0))
        return text.left(text.size() - 1);
    return text;
}

QString upperTrimmed(const QString &text)
{
    return text.trimmed().toUpper();
}

bool isYes(const QString &text)
{
    return upperTrimmed(text) == QLatin1String("YES");
}

} // namespace SettingValue
