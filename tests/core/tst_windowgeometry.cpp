#include "WindowGeometry.h"

#include <QtTest>

// The window's place and size rules, all in twips.
class TestWindowGeometry : public QObject
{
    Q_OBJECT

private slots:
    void convertsThroughTheLogicalDpi_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("twips");
        QTest::newRow("96 dpi: 15 twips a pixel") << 96.0 << 483 << 7245;
        QTest::newRow("120 dpi: 12 twips a pixel") << 120.0 << 100 << 1200;
        QTest::newRow("144 dpi: 10 twips a pixel") << 144.0 << 387 << 3870;
        QTest::newRow("negative place left of the main screen") << 96.0 << -40 << -600;
    }
    void convertsThroughTheLogicalDpi()
    {
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QFETCH(int, twips);
        const WindowGeometry g(dpi, dpi);
        QCOMPARE(g.xToTwips(pixels), twips);
        QCOMPARE(g.yToTwips(pixels), twips);
        QCOMPARE(g.xToPixels(twips), pixels);
        QCOMPARE(g.toPixels(g.toTwips(QRect(pixels, pixels, 300, 200))), QRect(pixels, pixels, 300, 200));
    }

    void rescuesOnlyWindowsOutOfReach_data()
    {
        // The window's screen is 19200 x 14400 twips (1280 x 960 pixels at 96 dpi); its title bar
        // is 450 twips (30 pixels) high. An empty rectangle: the window stays where it is.
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("rescued");
        const QRect one(0, 0, 19200, 14400);
        const QRect smallest(5977, 4297, 7245, 5805);
        const QRect ownSize(5100, 3700, 9000, 7000);
        QTest::newRow("inside") << QRect(1000, 1000, 9000, 7000) << QList{one} << QRect();
        QTest::newRow("bottom 200 below is tolerated")
            << QRect(1000, 14400 - 7000 + 200, 9000, 7000) << QList{one} << QRect();
        QTest::newRow("bottom 300 below: smallest size")
            << QRect(1000, 14400 - 7000 + 300, 9000, 7000) << QList{one} << smallest;
        QTest::newRow("right 300 past the edge: smallest size")
            << QRect(19200 - 9000 + 300, 1000, 9000, 7000) << QList{one} << smallest;
        QTest::newRow("40 pixels off the left stays")
            << QRect(-600, 1000, 9000, 7000) << QList{one} << QRect();
        QTest::newRow("all but 110 pixels off the left stays")
            << QRect(-9000 + 1650, 1000, 9000, 7000) << QList{one} << QRect();
        QTest::newRow("all but 33 pixels off the left: own size")
            << QRect(-8500, 1000, 9000, 7000) << QList{one} << ownSize;
        QTest::newRow("title bar half above the top stays")
            << QRect(1000, -225, 9000, 7000) << QList{one} << QRect();
        QTest::newRow("title bar above the top: own size")
            << QRect(1000, -3000, 9000, 7000) << QList{one} << ownSize;
        QTest::newRow("larger than the screen, off the left: the screen's size")
            << QRect(-40000, 0, 30000, 14000) << QList{one} << QRect(0, 200, 19200, 14000);
        const QRect leftOfIt(-19200, 0, 19200, 14400);
        QTest::newRow("on a second screen to the left stays")
            << QRect(-15000, 1000, 9000, 7000) << QList{one, leftOfIt} << QRect();
        // A lower second screen to the right: below it is inside the desktop, yet on no screen.
        const QRect lowRight(19200, 0, 19200, 9000);
        QTest::newRow("below the lower screen: own size, on its screen")
            << QRect(25000, 10000, 9000, 3000) << QList{one, lowRight} << QRect(5100, 5700, 9000, 3000);
        QTest::newRow("on the lower screen stays")
            << QRect(25000, 1000, 9000, 7000) << QList{one, lowRight} << QRect();
    }
    void rescuesOnlyWindowsOutOfReach()
    {
        QFETCH(QRect, window);
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, rescued);
        const std::optional<QRect> result = WindowGeometry::rescued(window, 450, screens);
        QCOMPARE(result.value_or(QRect()), rescued);
    }

    void centresOnTheScreen()
    {
        QCOMPARE(WindowGeometry::centred(QSize(7245, 5805), QRect(0, 0, 19200, 14400)), QPoint(5977, 4297));
        // A screen that does not start at 0 (a second monitor).
        QCOMPARE(WindowGeometry::centred(QSize(1000, 1000), QRect(19200, 0, 3000, 3000)),
                 QPoint(20200, 1000));
    }
};

QTEST_GUILESS_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"
