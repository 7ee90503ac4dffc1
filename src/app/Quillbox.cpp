#include "Quillbox.h"

#include "Platform.h"
#include "SettingsStore.h"

#include <QStatusBar>

// Skeleton: the window's real construction, start-up and shutdown follow.
struct Quillbox::Private
{
    SettingsStore *settings = nullptr;
    Platform *platform = nullptr;
};

Quillbox::Quillbox(SettingsStore &settings, Platform &platform, QWidget *parent)
    : QMainWindow(parent), d(std::make_unique<Private>())
{
    d->settings = &settings;
    d->platform = &platform;
    setWindowTitle(QStringLiteral("Quillbox Plus"));
}

Quillbox::~Quillbox() = default;

SettingsStore &Quillbox::settings() const { return *d->settings; }
Platform &Quillbox::platform() const { return *d->platform; }
QAction *Quillbox::menuItem(const QString &) const { return nullptr; }
QMenu *Quillbox::menu(const QString &) const { return nullptr; }
QToolBar *Quillbox::commandToolbar() const { return nullptr; }
QToolBar *Quillbox::formatToolbar() const { return nullptr; }
QAction *Quillbox::commandButton(const QString &) const { return nullptr; }
QAction *Quillbox::formatButton(const QString &) const { return nullptr; }
QComboBox *Quillbox::fontNameBox() const { return nullptr; }
QComboBox *Quillbox::fontSizeBox() const { return nullptr; }
RichTextBox *Quillbox::editor(int) const { return nullptr; }
RichTextBox *Quillbox::ActiveEditor() const { return nullptr; }
int Quillbox::activeNote() const { return 1; }
bool Quillbox::isPanelVisible(int n) const { return n == 1; }
QTabBar *Quillbox::tabStrip() const { return nullptr; }
QString Quillbox::NoteDir() const { return {}; }
QString Quillbox::notePath(int) const { return {}; }
bool Quillbox::NoteChanged(int) const { return false; }
void Quillbox::setNoteChanged(int, bool) {}
void Quillbox::FocusVisibleEditor() {}
void Quillbox::rebuildTabStrip(const std::array<TabChoice, 7> &) {}
void Quillbox::setSoundOff(bool) {}
void Quillbox::setLaunchCommandsVisible(bool) {}
void Quillbox::changeNoteDirectory(const QString &) {}
void Quillbox::selectFirstTab() {}
void Quillbox::showStatus(const QString &message, int timeoutMs) { statusBar()->showMessage(message, timeoutMs); }
void Quillbox::shutdown() {}
