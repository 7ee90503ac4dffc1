#pragma once

#include "../FrameExtents.h"
#include "../GlobalHotKey.h"
#include "../Keyring.h"
#include "../KeystrokeSender.h"
#include "../Launcher.h"
#include "../Platform.h"
#include "../ScreenLock.h"
#include "../SoundPlayer.h"

#include <QStringList>
#include <QTimer>

#include <map>

// Recording fakes: tests read what the program asked the platform to do.
class FakeLauncher final : public Launcher
{
public:
    QStringList commandLines;     // every runCommandLine call, in order
    QList<Show> commandShows;
    QStringList opened;           // every shellOpen target, in order
    QList<Show> openShows;
    QStringList handlerLaunches;  // every launchDefaultHandler call: the scheme, then any address
    QString handlerEntry;         // every scheme's default handler; empty when the desktop has none
    QString webHandler;           // what webHandlerCommand() answers
    QString mailHandler;
    bool succeed = true;
    qint64 nextProcessId = 4242;  // handed out by runCommandLine, then counted up

    bool runCommandLine(const QString &commandLine, Show show, qint64 *processId = nullptr) override
    {
        commandLines << commandLine;
        commandShows << show;
        if (processId)
            *processId = succeed ? nextProcessId : 0;
        if (succeed)
            ++nextProcessId;
        return succeed;
    }
    bool shellOpen(const QString &target, Show show) override
    {
        opened << target;
        openShows << show;
        return succeed;
    }
    HandlerLaunch launchDefaultHandler(const QString &scheme, const QString &address,
                                       QString *entryId) override
    {
        handlerLaunches << (address.isEmpty() ? scheme : scheme + QLatin1Char(' ') + address);
        if (entryId)
            *entryId = handlerEntry;
        if (handlerEntry.isEmpty())
            return HandlerLaunch::NoHandler;
        return succeed ? HandlerLaunch::Started : HandlerLaunch::Failed;
    }
    QString webHandlerCommand() override { return webHandler; }
    QString mailHandlerCommand() override { return mailHandler; }
};

class FakeKeystrokeSender final : public KeystrokeSender
{
public:
    QStringList sent;
    QList<bool> waits;
    qint64 focusedPid = 0;

    bool sendKeys(const QString &keys, bool wait) override
    {
        sent << keys;
        waits << wait;
        return true;
    }
    qint64 focusedWindowProcessId() override { return focusedPid; }
};

class FakeSoundPlayer final : public SoundPlayer
{
public:
    QStringList played;
    void playAsync(const QString &wavPath) override { played << wavPath; }
};

// Records the keys asked for and answers with `answer`; press() is the user pressing the key.
class FakeGlobalHotKey final : public GlobalHotKey
{
public:
    QList<QKeyCombination> keys; // every setKey call, in order
    Status answer = Status::Active;

    Status setKey(QKeyCombination key) override
    {
        keys << key;
        return key.key() == Qt::Key_unknown ? Status::Off : answer;
    }
    void press() { emit activated(); }
};

// Records the windows watched; a test sets `awaiting` to have the frame asked for, and tell()s it
// as the window manager would. Unknown, and not awaited, unless a test says otherwise.
class FakeFrameExtents final : public FrameExtents
{
public:
    QList<QWindow *> watched; // every watch call, in order
    bool awaiting = false;   // what awaited() answers while nothing was told
    std::optional<QMargins> frame;

    void watch(QWindow *window) override { watched << window; }
    std::optional<QMargins> extents() const override { return frame; }
    bool awaited() const override { return awaiting && !frame; }
    void tell(const QMargins &told)
    {
        frame = told;
        emit changed();
    }
};

// An in-memory keyring. It answers from the event loop, as the desktop's does; every call is
// recorded ("store <key>", "fetch <key>", "forget <key>"). Set `failure` to have every call fail
// with that text; unavailable() fails them as a desktop without a keyring does.
class FakeKeyring final : public Keyring
{
public:
    std::map<QString, Secret> entries;
    QStringList calls;
    QString failure;

    void unavailable() { failure = notAvailableText() + QStringLiteral(" (no keyring in this test)"); }

    void store(const QString &key, const Secret &secret, Done done) override
    {
        calls << QStringLiteral("store ") + key;
        answer([this, key, secret, done] {
            if (failure.isEmpty())
                entries[key] = secret;
            done(failure);
        });
    }
    void fetch(const QString &key, Fetched done) override
    {
        calls << QStringLiteral("fetch ") + key;
        answer([this, key, done] {
            const auto found = entries.find(key);
            if (!failure.isEmpty() || found == entries.end())
                return done(std::nullopt, failure);
            done(found->second, QString());
        });
    }
    void forget(const QString &key, Done done) override
    {
        calls << QStringLiteral("forget ") + key;
        answer([this, key, done] {
            if (failure.isEmpty())
                entries.erase(key);
            done(failure);
        });
    }

private:
    void answer(std::function<void()> later) { QTimer::singleShot(0, this, std::move(later)); }
};

// lock() is the desktop locking its screen.
class FakeScreenLock final : public ScreenLock
{
public:
    void lock() { emit screenLocked(); }
};

// A platform made of fakes, with typed access to each for the test's assertions.
struct FakePlatform
{
    FakeLauncher *launcher = nullptr;
    FakeKeystrokeSender *keys = nullptr;
    FakeSoundPlayer *sound = nullptr;
    FakeGlobalHotKey *hotKey = nullptr;
    FakeFrameExtents *frames = nullptr;
    FakeKeyring *keyring = nullptr;
    FakeScreenLock *screenLock = nullptr;

    Platform make()
    {
        Platform p;
        auto l = std::make_unique<FakeLauncher>();
        auto k = std::make_unique<FakeKeystrokeSender>();
        auto s = std::make_unique<FakeSoundPlayer>();
        launcher = l.get();
        keys = k.get();
        sound = s.get();
        p.launcher = std::move(l);
        p.keys = std::move(k);
        p.sound = std::move(s);
        auto h = std::make_unique<FakeGlobalHotKey>();
        hotKey = h.get();
        p.hotKey = std::move(h);
        auto e = std::make_unique<FakeFrameExtents>();
        frames = e.get();
        p.frames = std::move(e);
        auto r = std::make_unique<FakeKeyring>();
        keyring = r.get();
        p.keyring = std::move(r);
        auto x = std::make_unique<FakeScreenLock>();
        screenLock = x.get();
        p.screenLock = std::move(x);
        return p;
    }
};
