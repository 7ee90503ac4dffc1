#include "KeyString.h"

#include <QHash>

namespace {

const QString &specialCharacters()
{
    static const QString chars = QStringLiteral("+^%~(){}[]");
    return chars;
}

Qt::Key namedKey(const QString &upperName)
{
    static const QHash<QString, Qt::Key> keys = [] {
        QHash<QString, Qt::Key> k{
            {QStringLiteral("ENTER"), Qt::Key_Return},     {QStringLiteral("TAB"), Qt::Key_Tab},
            {QStringLiteral("BS"), Qt::Key_Backspace},     {QStringLiteral("BKSP"), Qt::Key_Backspace},
            {QStringLiteral("BACKSPACE"), Qt::Key_Backspace}, {QStringLiteral("DEL"), Qt::Key_Delete},
            {QStringLiteral("DELETE"), Qt::Key_Delete},    {QStringLiteral("ESC"), Qt::Key_Escape},
            {QStringLiteral("ESCAPE"), Qt::Key_Escape},    {QStringLiteral("UP"), Qt::Key_Up},
            {QStringLiteral("DOWN"), Qt::Key_Down},        {QStringLiteral("LEFT"), Qt::Key_Left},
            {QStringLiteral("RIGHT"), Qt::Key_Right},      {QStringLiteral("HOME"), Qt::Key_Home},
            {QStringLiteral("END"), Qt::Key_End},          {QStringLiteral("PGUP"), Qt::Key_PageUp},
            {QStringLiteral("PGDN"), Qt::Key_PageDown},    {QStringLiteral("INS"), Qt::Key_Insert},
            {QStringLiteral("INSERT"), Qt::Key_Insert},    {QStringLiteral("BREAK"), Qt::Key_Pause},
            {QStringLiteral("CAPSLOCK"), Qt::Key_CapsLock}, {QStringLiteral("NUMLOCK"), Qt::Key_NumLock},
            {QStringLiteral("SCROLLLOCK"), Qt::Key_ScrollLock}, {QStringLiteral("PRTSC"), Qt::Key_Print},
            {QStringLiteral("HELP"), Qt::Key_Help},
        };
        for (int n = 1; n <= 16; ++n)
            k.insert(QStringLiteral("F%1").arg(n), static_cast<Qt::Key>(Qt::Key_F1 + n - 1));
        return k;
    }();
    return keys.value(upperName, Qt::Key_unknown);
}

Qt::KeyboardModifier modifierFor(QChar c)
{
    switch (c.unicode()) {
    case '+':
        return Qt::ShiftModifier;
    case '^':
        return Qt::ControlModifier;
    case '%':
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

KeyStringParse failure(const QString &why)
{
    KeyStringParse result;
    result.error = why;
    return result;
}

} // namespace

KeyStringParse KeyStringParser::parse(const QString &keys)
{
    KeyStringParse result;
    QList<Qt::KeyboardModifiers> groups; // modifiers held by each open parenthesis
    Qt::KeyboardModifiers pending;       // modifiers waiting for their key or group

    const auto held = [&] { return (groups.isEmpty() ? Qt::KeyboardModifiers() : groups.last()) | pending; };
    const auto press = [&](Qt::Key key, const QString &text, int times) {
        for (int i = 0; i < times; ++i)
            result.strokes.append(KeyStroke{held(), key, text});
        pending = {};
    };

    int pos = 0;
    while (pos < keys.size()) {
        const QChar c = keys.at(pos);
        if (const Qt::KeyboardModifier m = modifierFor(c); m != Qt::NoModifier) {
            pending |= m;
            ++pos;
            if (pos == keys.size())
                return failure(QStringLiteral("a modifier at the end has no key"));
        } else if (c == QLatin1Char('(')) {
            groups.append(held());
            pending = {};
            ++pos;
        } else if (c == QLatin1Char(')')) {
            if (groups.isEmpty())
                return failure(QStringLiteral("')' without '('"));
            if (pending != Qt::NoModifier)
                return failure(QStringLiteral("a modifier before ')' has no key"));
            groups.removeLast();
            ++pos;
        } else if (c == QLatin1Char('~')) {
            press(Qt::Key_Return, {}, 1);
            ++pos;
        } else if (c == QLatin1Char('{')) {
            // "{}}" quotes a closing brace; otherwise the name runs to the next '}' after the
            // first character, so "{{}" quotes an opening one.
            const int close = keys.indexOf(QLatin1Char('}'), pos + 2);
            if (pos + 1 >= keys.size() || close < 0)
                return failure(QStringLiteral("'{' without '}'"));
            QString name = keys.mid(pos + 1, close - pos - 1);
            int times = 1;
            const int blank = name.lastIndexOf(QLatin1Char(' '));
            if (blank > 0) {
                bool isNumber = false;
                const int n = name.mid(blank + 1).toInt(&isNumber);
                if (isNumber && n >= 0) {
                    times = n;
                    name.truncate(blank);
                }
            }
            const bool oneCharacter =
                name.size() == 1 || (name.size() == 2 && name.at(0).isHighSurrogate());
            if (oneCharacter) {
                press(Qt::Key_unknown, name, times);
            } else {
                const Qt::Key key = namedKey(name.toUpper());
                if (key == Qt::Key_unknown)
                    return failure(QStringLiteral("unknown key name {%1}").arg(name));
                press(key, {}, times);
            }
            pos = close + 1;
        } else if (c == QLatin1Char('}')) {
            return failure(QStringLiteral("'}' without '{'"));
        } else {
            const int width = c.isHighSurrogate() && pos + 1 < keys.size() ? 2 : 1;
            press(Qt::Key_unknown, keys.mid(pos, width), 1);
            pos += width;
        }
    }
    if (!groups.isEmpty())
        return failure(QStringLiteral("'(' without ')'"));
    result.ok = true;
    return result;
}

QString KeyStringParser::literal(const QString &text)
{
    QString quoted;
    quoted.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (specialCharacters().contains(c))
            quoted += QLatin1Char('{') + c + QLatin1Char('}');
        else
            quoted += c;
    }
    return quoted;
}
