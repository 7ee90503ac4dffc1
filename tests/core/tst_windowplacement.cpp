#include "WindowPlacement.h"

#include <QtTest>

using Shown = WindowPlacement::Shown;

// The outer place and size asked for, and the inside that gives them with the frame round it.
class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void insideFollowsFromTheFrame_data()
    {
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<bool>("frameFinal");
        QTest::addColumn<QRect>("inside"); // null: nothing set now
        QTest::addColumn<bool>("pending");
        const QRect placed(104, 150, 631, 464); // 100,120 640x500 less a frame of 4, 30, 5, 6
        QTest::newRow("hidden: set, kept for the show") << Shown::Hidden << true << placed << true;
        QTest::newRow("in view with the told frame: set, done") << Shown::Normal << true << placed << false;
        QTest::newRow("in view, frame still awaited: set, kept") << Shown::Normal << false << placed << true;
        QTest::newRow("on the task bar: held back") << Shown::Minimised << true << QRect() << true;
        QTest::newRow("maximised: held back") << Shown::Maximised << true << QRect() << true;
    }
    void insideFollowsFromTheFrame()
    {
        QFETCH(Shown, shown);
        QFETCH(bool, frameFinal);
        QFETCH(QRect, inside);
        QFETCH(bool, pending);
        WindowPlacement p;
        p.place({100, 120});
        p.resize({640, 500});
        const QMargins frame(4, 30, 5, 6);
        QCOMPARE(p.apply(QRect(0, 0, 300, 200), frame, shown, frameFinal).value_or(QRect()), inside);
        QCOMPARE(p.pending(), pending);
        // Until it stands there, the asked-for place is the window's; then where it is.
        const QRect now(7, 8, 300, 200);
        QCOMPARE(p.outer(now, frame, Shown::Normal),
                 pending ? QRect(100, 120, 640, 500) : QRect(3, -22, 309, 236));
    }

    void aFrameToldLateMovesTheWindowAgain()
    {
        // Shown before the window manager told its frame, the window stands off by the frame; told,
        // it is set again, and from then on it is the window's own.
        WindowPlacement p;
        p.place({100, 120});
        p.resize({640, 500});
        const std::optional<QRect> first = p.apply({}, QMargins(), Shown::Normal, false);
        QCOMPARE(first, QRect(100, 120, 640, 500));
        QCOMPARE(p.apply(*first, QMargins(1, 20, 1, 5), Shown::Normal, true), QRect(101, 140, 638, 475));
        QVERIFY(!p.pending());
        QCOMPARE(p.apply(QRect(5, 5, 300, 200), QMargins(1, 20, 1, 5), Shown::Normal, true), std::nullopt);
        QCOMPARE(p.outer(QRect(101, 140, 638, 475), QMargins(1, 20, 1, 5), Shown::Normal),
                 QRect(100, 120, 640, 500));
    }

    void aSizeAloneKeepsThePlace()
    {
        WindowPlacement p;
        p.resize({640, 500});
        QCOMPARE(p.apply(QRect(50, 60, 300, 200), QMargins(1, 20, 1, 5), Shown::Hidden, true),
                 QRect(50, 60, 638, 475));
        QCOMPARE(p.outer(QRect(50, 60, 638, 475), QMargins(1, 20, 1, 5), Shown::Hidden),
                 QRect(49, 40, 640, 500));
    }
};

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
