#include "IdleWatch.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest>

using namespace std::chrono_literals;

// A quiet spell of a fraction of a second instead of minutes. Idle is checked to come never
// sooner than the spell after the last input, so a slow machine makes the test wait, not fail.
class TestIdleWatch : public QObject
{
    Q_OBJECT
    static constexpr auto kSpell = 600ms;
    using Make = std::function<QEvent *()>;

private slots:
    void idleComesOnceAQuietSpellAfterTheLastInput_data()
    {
        const QPointF at(5, 5);
        QTest::addColumn<Make>("make");
        QTest::addColumn<bool>("input");
        QTest::newRow("key") << Make([] {
            return new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        }) << true;
        QTest::newRow("button") << Make([at] {
            return new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, {});
        }) << true;
        QTest::newRow("move") << Make([at] {
            return new QMouseEvent(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, {});
        }) << true;
        QTest::newRow("wheel") << Make([at] {
            return new QWheelEvent(at, at, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        }) << true;
        // A window repainting itself is no user at the keyboard.
        QTest::newRow("not input") << Make([] { return new QEvent(QEvent::UpdateRequest); }) << false;
    }
    void idleComesOnceAQuietSpellAfterTheLastInput()
    {
        QFETCH(Make, make);
        QFETCH(bool, input);
        QObject window;
        IdleWatch watch;
        QElapsedTimer sinceInput;
        QList<qint64> quietAtIdle;
        connect(&watch, &IdleWatch::idle, this, [&] { quietAtIdle << sinceInput.elapsed(); });
        sinceInput.start();
        watch.setInterval(kSpell);
        for (int i = 0; i < 9; ++i) { // every tenth of a second for half as long again as the spell
            if (input)
                sinceInput.start();
            const std::unique_ptr<QEvent> event(make());
            QCoreApplication::sendEvent(&window, event.get());
            QTest::qWait(100);
        }
        if (!input)
            QCOMPARE(quietAtIdle.size(), 1);
        QTRY_VERIFY(!quietAtIdle.isEmpty());
        const qsizetype idles = quietAtIdle.size();
        QTest::qWait(2 * int(kSpell.count()));
        QCOMPARE(quietAtIdle.size(), idles); // once per quiet spell
        sinceInput.start();                  // input after idle starts a new spell
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &key);
        QTRY_COMPARE(quietAtIdle.size(), idles + 1);
        for (qint64 quiet : std::as_const(quietAtIdle))
            QVERIFY2(quiet >= kSpell.count(), qPrintable(QStringLiteral("idle after %1 ms").arg(quiet)));
    }

    void zeroMinutesIsOff()
    {
        IdleWatch watch;
        QSignalSpy idle(&watch, &IdleWatch::idle);
        watch.setInterval(kSpell);
        watch.setMinutes(0);
        QTest::qWait(2 * int(kSpell.count()));
        QCOMPARE(idle.count(), 0);
        watch.setInterval(kSpell); // on again, counting from now without waiting for input
        QTRY_COMPARE(idle.count(), 1);
    }
};

QTEST_MAIN(TestIdleWatch)
#include "tst_idlewatch.moc"
