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

    void rescuesWindowsFarOffAnyEdge_data()
    {
        // The screen is 19200 x 14400 twips (1280 x 960 pixels at 96 dpi).
        QTest::addColumn<QRect>("window");
        QTest::addColumn<bool>("rescued");
        QTest::newRow("inside") << QRect(1000, 1000, 9000, 7000) << false;
        QTest::newRow("bottom 150 below is tolerated")
            << QRect(1000, 14400 - 7000 + 150, 9000, 7000) << false;
        QTest::newRow("bottom 200 below is tolerated")
            << QRect(1000, 14400 - 7000 + 200, 9000, 7000) << false;
        QTest::newRow("bottom 300 below") << QRect(1000, 14400 - 7000 + 300, 9000, 7000) << true;
        QTest::newRow("right 300 past the edge") << QRect(19200 - 9000 + 300, 1000, 9000, 7000) << true;
        QTest::newRow("left 200 off is tolerated") << QRect(-200, 1000, 9000, 7000) << false;
        QTest::newRow("top 200 above is tolerated") << QRect(1000, -200, 9000, 7000) << false;
        QTest::newRow("far off the left, one corner in view") << QRect(-8500, 1000, 9000, 7000) << true;
        QTest::newRow("title bar above the top") << QRect(1000, -3000, 9000, 7000) << true;
        QTest::newRow("left 300 off") << QRect(-300, 1000, 9000, 7000) << true;
    }
    void rescuesWindowsFarOffAnyEdge()
    {
        QFETCH(QRect, window);
        QFETCH(bool, rescued);
        const QRect screen(0, 0, 19200, 14400);
        const std::optional<QRect> result = WindowGeometry::rescued(window, screen);
        QCOMPARE(result.has_value(), rescued);
        if (rescued) {
            // The smallest size, centred.
            QCOMPARE(result->size(), QSize(7245, 5805));
            QCOMPARE(result->topLeft(), QPoint((19200 - 7245) / 2, (14400 - 5805) / 2));
        }
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
