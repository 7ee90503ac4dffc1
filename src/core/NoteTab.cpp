#include "NoteTab.h"

#include "ProgramPlaces.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"

QString NoteTab::captionKey() const
{
    return SettingKey::tabCaption(number);
}

QString NoteTab::shownKey() const
{
    return SettingKey::tabShown(number);
}

QString NoteTab::iconName() const
{
    return hasImage ? QStringLiteral("tab%1").arg(number) : QString();
}

namespace NoteTabs {

const std::array<NoteTab, Count> &all()
{
    static const std::array<NoteTab, Count> tabs{{
        {1, QStringLiteral("notes.rtf"), QStringLiteral("Notes"), true, true},
        {2, QStringLiteral("web.rtf"), QStringLiteral("Web Pages"), true, true},
        {3, QStringLiteral("email.rtf"), QStringLiteral("E-Mail Addresses"), true, true},
        {4, QStringLiteral("phone.rtf"), QStringLiteral("Phone/Fax Numbers"), true, true},
        {5, QStringLiteral("other.rtf"), QStringLiteral("Other"), true, true},
        {6, QStringLiteral("tab6.rtf"), QStringLiteral("Other 2"), false, false},
        {7, QStringLiteral("tab7.rtf"), QStringLiteral("Other 3"), false, false},
    }};
    return tabs;
}

bool isNote(int n)
{
    return n >= 1 && n <= Count;
}

const NoteTab &tab(int n)
{
    Q_ASSERT(isNote(n));
    return all()[static_cast<size_t>(n - 1)];
}

QString noteDirectory(const SettingsStore &settings)
{
    const QString network =
        SettingValue::dropFinalNul(settings.GetSettingValue(SettingKey::Network)).trimmed();
    return network.isEmpty() ? ProgramPlaces::programDirectory() : network;
}

QString notePath(const QString &noteDir, int n)
{
    return noteDir + QLatin1Char('/') + tab(n).fileName;
}

QString stripText(const QString &caption)
{
    return QString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString captionFromStrip(const QString &text)
{
    return QString(text).replace(QLatin1String("&&"), QLatin1String("&"));
}

} // namespace NoteTabs
