#include "HotKeyControl.h"
#include "HotKeySetting.h"
#include "Platform.h"
#include "Quillbox.h"
#include "Wiring.h"

void wireHotKey(Quillbox &window)
{
    auto *control = new HotKeyControl(window, window.platform().hotKey.get());
    control->setObjectName(QStringLiteral("hotKeyControl"));
    control->apply(HotKeySetting::read(window.settings()));
}
