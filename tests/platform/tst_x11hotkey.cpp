#include "linux/XcbGlobalHotKey.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

// The hot key grabbed on a real X server and pressed with xdotool, as a person at another
// program's window would press it.
class TestX11HotKey : public QObject
{
    Q_OBJECT

    static void press(const QString &keys)
    {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
        QVERIFY2(xdotool.waitForFinished(10000) && xdotool.exitCode() == 0, "xdotool failed");
    }

    // Another program (a connection of its own) holding Ctrl+Alt+J.
    struct OtherProgram
    {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        OtherProgram()
        {
            xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
            xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, 'j');
            xcb_grab_key(connection, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, codes[0],
                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            free(codes);
            xcb_key_symbols_free(symbols);
            xcb_aux_sync();
        }
        void xcb_aux_sync()
        {
            free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        }
        ~OtherProgram() { xcb_disconnect(connection); }
    };

private slots:
    void pressedAnywhereWithOrWithoutLocks_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("no lock") << QString();
        QTest::newRow("NumLock on") << "Num_Lock";
        QTest::newRow("CapsLock on") << "Caps_Lock";
    }
    void pressedAnywhereWithOrWithoutLocks()
    {
        QFETCH(QString, lock);
        XcbGlobalHotKey hotKey;
        QCOMPARE(hotKey.setKey(Qt::CTRL | Qt::ALT | Qt::Key_N), GlobalHotKey::Status::Active);
        QSignalSpy activated(&hotKey, &GlobalHotKey::activated);
        if (!lock.isEmpty())
            press(lock);
        press(QStringLiteral("ctrl+alt+n"));
        QTRY_COMPARE(activated.count(), 1);
        press(QStringLiteral("ctrl+n")); // another combination of the same key is not ours
        press(QStringLiteral("ctrl+alt+n"));
        QTRY_COMPARE(activated.count(), 2);
        if (!lock.isEmpty())
            press(lock); // off again for the next row

        // Released: the key goes back to whoever has the focus.
        QCOMPARE(hotKey.setKey(QKeyCombination(Qt::Key_unknown)), GlobalHotKey::Status::Off);
        press(QStringLiteral("ctrl+alt+n"));
        QTest::qWait(200); // nothing to poll for: the press must not arrive
        QCOMPARE(activated.count(), 2);
    }

    void keyHeldByAnotherProgramIsReported()
    {
        OtherProgram other;
        XcbGlobalHotKey hotKey;
        QCOMPARE(hotKey.setKey(Qt::CTRL | Qt::ALT | Qt::Key_J), GlobalHotKey::Status::HeldElsewhere);
        // A key that is free still works afterwards.
        QCOMPARE(hotKey.setKey(Qt::CTRL | Qt::ALT | Qt::Key_K), GlobalHotKey::Status::Active);
        QSignalSpy activated(&hotKey, &GlobalHotKey::activated);
        press(QStringLiteral("ctrl+alt+k"));
        QTRY_COMPARE(activated.count(), 1);
    }
};

QTEST_MAIN(TestX11HotKey)
#include "tst_x11hotkey.moc"
