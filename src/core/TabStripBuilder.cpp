#include "TabStripBuilder.h"

#include "NoteTab.h"
#include "SettingsStore.h"

TabStripBuilder::Plan TabStripBuilder::build(const Source &source)
{
    Plan plan;
    for (const NoteTab &note : NoteTabs::all()) {
        QString shown;
        QString caption;
        source(note.number, &shown, &caption);
        shown = shown.trimmed();
        // Letter case counts here: "yes" neither shows nor hides a tab. Tabs 1 to 5 are shown
        // until the user hides them; 6 and 7 only when the user shows them.
        const bool isShown = shown == QLatin1String("YES") || (shown.isEmpty() && note.shownWhenAbsent);
        if (isShown) {
            caption = caption.trimmed();
            plan.tabs.append(
                {note.number, caption.isEmpty() ? note.defaultCaption : caption, note.iconName()});
        }
    }
    return plan;
}

TabStripBuilder::Plan TabStripBuilder::fromSettings(const SettingsStore &settings)
{
    return build([&settings](int n, QString *shown, QString *caption) {
        const NoteTab &note = NoteTabs::tab(n);
        *shown = settings.GetSettingValue(note.shownKey());
        *caption = settings.GetSettingValue(note.captionKey());
    });
}
