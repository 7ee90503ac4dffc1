#include "HotKeySetting.h"

#include "SettingKeys.h"
#include "SettingsStore.h"

#include <QKeySequence>

QString HotKeySetting::read(const SettingsStore &settings)
{
    if (!settings.keys().contains(SettingKey::HotKey, Qt::CaseInsensitive))
        return DefaultKey;
    return settings.GetSettingValue(SettingKey::HotKey).trimmed();
}

HotKeySetting::Parsed HotKeySetting::parse(const QString &text)
{
    Parsed parsed;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        parsed.ok = true;
        return parsed;
    }
    const QKeySequence sequence = QKeySequence::fromString(trimmed, QKeySequence::PortableText);
    if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
        return parsed;
    const QKeyCombination key = sequence[0];
    if (!(key.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return parsed;
    parsed.ok = true;
    parsed.key = key;
    return parsed;
}

bool HotKeySetting::isDialogKey(QKeyCombination key)
{
    if (key.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

QString HotKeySetting::heldElsewhereMessage(const QString &text)
{
    const QString shown =
        QKeySequence::fromString(text, QKeySequence::PortableText).toString(QKeySequence::NativeText);
    return QStringLiteral("The hot key %1 is taken by another program; choose another in Setup.").arg(shown);
}
