#pragma once

#include "Preferences.h"

#include <QDialog>

#include <array>
#include <memory>

class DirectoryChooser;
class Launcher;
class PreferencesTarget;
class QCheckBox;
class QGroupBox;
class QKeySequenceEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class SettingsStore;

// The "Setup" dialog: programs for the launchers, general preferences, the tabs' names and
// visibility, the note directory, the start-up password and when unlocked notes lock again. It is modeless,
// reads the settings afresh each time it is built and deletes itself when it closes, so it keeps nothing
// between openings. The controls carry their design names as object names ("Check2", "Text11", ...).
class SetupDialog final : public QDialog
{
    Q_OBJECT
public:
    SetupDialog(SettingsStore &settings, Launcher *launcher, std::shared_ptr<PreferencesTarget> target,
                QWidget *parent = nullptr);

    // What the controls hold now.
    PreferenceValues values() const;

private:
    QGroupBox *buildInternetFrame();
    QGroupBox *buildGeneralFrame();
    QGroupBox *buildPasswordFrame();
    QGroupBox *buildTabFrame();
    QGroupBox *buildNetworkFrame();

    void fill(const PreferenceValues &v);
    void fillTabs(const PreferenceValues &v);
    void pickProgram(QLineEdit *box);
    void applyClicked();
    void removePasswordClicked();
    void showPasswordStatus();

    SettingsStore &m_settings;
    std::shared_ptr<PreferencesTarget> m_target;

    QCheckBox *m_check2 = nullptr; // use the desktop's handlers
    QLineEdit *m_text1 = nullptr;  // browser
    QPushButton *m_command3 = nullptr;
    QLineEdit *m_text2 = nullptr; // e-mail program
    QPushButton *m_command4 = nullptr;
    QLineEdit *m_text3 = nullptr; // e-mail options

    QCheckBox *m_check4 = nullptr; // no sounds
    QCheckBox *m_check1 = nullptr; // start minimised
    QCheckBox *m_check3 = nullptr; // no splash
    QCheckBox *m_check5 = nullptr; // task bar
    QCheckBox *m_check6 = nullptr; // hide launch commands
    QLineEdit *m_text5 = nullptr;  // dialer
    QCheckBox *m_startAtLogin = nullptr;
    QKeySequenceEdit *m_hotKey = nullptr;

    QLineEdit *m_text14 = nullptr; // password
    QLineEdit *m_text15 = nullptr; // confirmation
    QLabel *m_passwordStatus = nullptr;
    QSpinBox *m_lockAfter = nullptr; // minutes without input before notes lock again

    std::array<QLineEdit *, 7> m_tabNames{};
    std::array<QCheckBox *, 7> m_tabShown{};

    QLineEdit *m_text11 = nullptr; // note directory
    DirectoryChooser *m_dir1 = nullptr;
};
