#include "HotKeyControl.h"

#include "AppLog.h"
#include "HotKeySetting.h"
#include "Quillbox.h"

HotKeyControl::HotKeyControl(Quillbox &window, GlobalHotKey *hotKey)
    : QObject(&window), m_window(window), m_hotKey(hotKey)
{
    if (hotKey)
        connect(hotKey, &GlobalHotKey::activated, &window, &Quillbox::toggleFromOutside);
}

GlobalHotKey::Status HotKeyControl::apply(const QString &text)
{
    if (!m_hotKey)
        return GlobalHotKey::Status::Unsupported;
    const HotKeySetting::Parsed parsed = HotKeySetting::parse(text);
    if (!parsed.ok) {
        qCInfo(lcApp) << "the stored hot key names no usable key:" << text;
        m_hotKey->setKey(QKeyCombination(Qt::Key_unknown));
        return GlobalHotKey::Status::Unsupported;
    }
    const GlobalHotKey::Status status = m_hotKey->setKey(parsed.key);
    if (status == GlobalHotKey::Status::HeldElsewhere && m_reported != text) {
        m_reported = text;
        m_window.showStatus(HotKeySetting::heldElsewhereMessage(text), 0);
    } else if (status == GlobalHotKey::Status::Unsupported) {
        qCInfo(lcApp) << "this desktop offers no global hot key";
    }
    return status;
}
