#include "IdleWatch.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

using namespace std::chrono_literals;

// The idle watch with a quiet spell of a fraction of a second instead of minutes. Times are
// checked as lower bounds (never idle sooner than the spell after the last input), so a slow
// machine makes the test wait longer, never fail.
class TestIdleWatch : public QObject
{
    Q_OBJECT

    static constexpr auto kSpell = 600ms;

    static std::unique_ptr<QEvent> makeEvent(const QString &kind)
    {
        const QPointF at(5, 5);
        if (kind == QLatin1String("key"))
            return std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier,
                                               QStringLiteral("a"));
        if (kind == QLatin1String("click"))
            return std::make_unique<QMouseEvent>(QEvent::MouseButtonPress, at, at, Qt::LeftButton,
                                                 Qt::LeftButton, Qt::NoModifier);
        if (kind == QLatin1String("move"))
            return std::make_unique<QMouseEvent>(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton,
                                                 Qt::NoModifier);
        if (kind == QLatin1String("wheel"))
            return std::make_unique<QWheelEvent>(at, at, QPoint(), QPoint(0, 120), Qt::NoButton,
                                                 Qt::NoModifier, Qt::NoScrollPhase, false);
        return std::make_unique<QEvent>(QEvent::UpdateRequest);
    }

private slots:
    void idleComesOnceAQuietSpellAfterTheLastInput_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("input");
        QTest::newRow("key press") << "key" << true;
        QTest::newRow("mouse button") << "click" << true;
        QTest::newRow("mouse movement") << "move" << true;
        QTest::newRow("wheel") << "wheel" << true;
        // A window repainting itself is no user at the keyboard.
        QTest::newRow("not input") << "update" << false;
    }
    void idleComesOnceAQuietSpellAfterTheLastInput()
    {
        QFETCH(QString, kind);
        QFETCH(bool, input);
        QObject window;
        IdleWatch watch;
        QElapsedTimer sinceInput;
        QList<qint64> quietAtIdle;
        connect(&watch, &IdleWatch::idle, this, [&] { quietAtIdle << sinceInput.elapsed(); });

        sinceInput.start();
        watch.setInterval(kSpell);
        // Events every tenth of a second for half as long again as the spell.
        for (int i = 0; i < 9; ++i) {
            const auto event = makeEvent(kind);
            if (input)
                sinceInput.start();
            QCoreApplication::sendEvent(&window, event.get());
            QTest::qWait(100);
        }
        if (!input)
            QCOMPARE(quietAtIdle.size(), 1);
        QTRY_VERIFY(!quietAtIdle.isEmpty());
        // Twice the spell more without input: no idle again.
        const qsizetype idles = quietAtIdle.size();
        QTest::qWait(2 * int(kSpell.count()));
        QCOMPARE(quietAtIdle.size(), idles);

        // Input after idle starts a new spell.
        sinceInput.start();
        const auto event = makeEvent(QStringLiteral("key"));
        QCoreApplication::sendEvent(&window, event.get());
        QTRY_COMPARE(quietAtIdle.size(), idles + 1);
        for (qint64 quiet : std::as_const(quietAtIdle))
            QVERIFY2(quiet >= kSpell.count(), qPrintable(QStringLiteral("idle after %1 ms").arg(quiet)));
    }

    void zeroMinutesIsOff()
    {
        QObject window;
        IdleWatch watch;
        QSignalSpy idle(&watch, &IdleWatch::idle);
        watch.setInterval(kSpell);
        watch.setMinutes(0);
        const auto event = makeEvent(QStringLiteral("key"));
        QCoreApplication::sendEvent(&window, event.get());
        QTest::qWait(2 * int(kSpell.count()));
        QCOMPARE(idle.count(), 0);

        // Turned on again, the spell starts at once, with no input needed.
        watch.setInterval(kSpell);
        QTRY_COMPARE(idle.count(), 1);
    }
};

QTEST_MAIN(TestIdleWatch)
#include "tst_idlewatch.moc"
