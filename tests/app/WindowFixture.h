#pragma once

#include "Dialogs.h"
#include "ProgramPlaces.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "SettingsStore.h"
#include "fake/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A main window on real files in a temporary directory: its settings INI, the program's own
// directory and the note directory live there; the platform is made of recording fakes and no
// dialog ever blocks.
class WindowFixture
{
public:
    WindowFixture()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("program"));
        QDir(m_dir.path()).mkpath(QStringLiteral("notes"));
        ProgramPlaces::overrideProgramDirectory(programDir());
        Dialogs::setNeverBlock(true);
        Dialogs::clearSeams();
        settings = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("settings.ini")));
    }
    ~WindowFixture()
    {
        window.reset();
        ProgramPlaces::overrideProgramDirectory(QString());
        Dialogs::clearSeams();
    }

    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    QString programDir() const { return m_dir.filePath(QStringLiteral("program")); }
    QString noteDir() const { return m_dir.filePath(QStringLiteral("notes")); }

    // The usual quiet start: notes in the notes directory, no splash, no auto-completion.
    void quietSettings()
    {
        settings->SaveSettingValue(QStringLiteral("Network"), noteDir());
        settings->SaveSettingValue(QStringLiteral("NoSplash"), QStringLiteral("1"));
        settings->SaveSettingValue(QStringLiteral("AutoCompletion"), QStringLiteral("No"));
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
        f.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray rtf(const QByteArray &body)
    {
        return QByteArrayLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ") + body + "}";
    }

    // Builds the window and runs start-up; false when start-up ended (password not given).
    bool start()
    {
        platform = fakes.make();
        window = std::make_unique<Quillbox>(*settings, platform);
        return window->startUp();
    }
    void showActive()
    {
        window->showAsStarted();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    // Types into note n as the user would, with the focus in it.
    static void typeInto(Quillbox &w, int n, const QString &text)
    {
        w.editor(n)->setFocus();
        QTRY_VERIFY(w.editor(n)->hasFocus());
        QTest::keyClicks(w.editor(n), text);
    }
    // Moves the focus out of the note to the tab strip, a save point.
    static void leaveNote(Quillbox &w)
    {
        w.tabStrip()->setFocus();
        QTRY_VERIFY(w.tabStrip()->hasFocus());
    }

    // The notices of events, without the one that shows a status message too long for the
    // status bar.
    static QStringList eventNotices(const Quillbox &w)
    {
        QStringList notices = w.notices();
        notices.removeAll(w.statusBar()->currentMessage());
        return notices;
    }

    std::unique_ptr<SettingsStore> settings;
    FakePlatform fakes;
    Platform platform;
    std::unique_ptr<Quillbox> window;

private:
    QTemporaryDir m_dir;
};
