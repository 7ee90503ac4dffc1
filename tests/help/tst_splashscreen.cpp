#include "DesignSize.h"
#include "ProgramPlaces.h"
#include "SplashScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

namespace {
SplashScreen *openSplash()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *splash = qobject_cast<SplashScreen *>(w))
            return splash;
    return nullptr;
}

int countPixels(const QImage &image, const std::function<bool(QColor)> &match)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}
} // namespace

class TestSplashScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ProgramPlaces::overrideDataDirectory(QStringLiteral(QB_SOURCE_DIR "/data")); }

    void noSplashOfOneTurnsItOff_data();
    void noSplashOfOneTurnsItOff();
    void splashShowsCentredAndBorderlessWhileEventsFlow();
    void splashIsGoneWhenItReturns();
    void splashLastsTwoSeconds();
    void splashShowsTheEmbossedTitleAndTagline();
};

void TestSplashScreen::noSplashOfOneTurnsItOff_data()
{
    QTest::addColumn<QString>("noSplash");
    QTest::addColumn<bool>("shown");
    QTest::newRow("1") << QStringLiteral("1") << false;
    QTest::newRow("1 with blanks") << QStringLiteral(" 1 ") << false;
    QTest::newRow("1 with a final NUL") << QStringLiteral("1") + QChar(0) << false;
    QTest::newRow("1.0") << QStringLiteral("1.0") << false;
    QTest::newRow("1 followed by words") << QStringLiteral("1 (off)") << false;
    QTest::newRow("0") << QStringLiteral("0") << true;
    QTest::newRow("absent") << QString() << true;
    QTest::newRow("2") << QStringLiteral("2") << true;
    QTest::newRow("10") << QStringLiteral("10") << true;
    QTest::newRow("words") << QStringLiteral("yes") << true;
}

void TestSplashScreen::noSplashOfOneTurnsItOff()
{
    QFETCH(QString, noSplash);
    QFETCH(bool, shown);
    QCOMPARE(splashWanted(noSplash), shown);
}

void TestSplashScreen::splashShowsCentredAndBorderlessWhileEventsFlow()
{
    int ticks = 0;
    bool sawSplash = false;
    bool centred = false;
    bool borderless = false;
    bool stillOnTop = true;
    QTimer probe;
    probe.setInterval(20);
    connect(&probe, &QTimer::timeout, this, [&] {
        ++ticks;
        SplashScreen *splash = openSplash();
        if (!splash || !splash->isVisible())
            return;
        sawSplash = true;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        centred = qAbs(splash->geometry().center().x() - screen.center().x()) <= 1 &&
                  qAbs(splash->geometry().center().y() - screen.center().y()) <= 1;
        borderless = splash->windowFlags().testFlag(Qt::FramelessWindowHint);
        stillOnTop = splash->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    });
    probe.start();
    showSplashScreen(std::chrono::milliseconds(400));
    probe.stop();

    QVERIFY2(ticks >= 5, "window events must keep flowing while the splash waits");
    QVERIFY(sawSplash);
    QVERIFY(centred);
    QVERIFY(borderless);
    QVERIFY2(!stillOnTop, "the splash must not stay above windows raised after it");
}

void TestSplashScreen::splashIsGoneWhenItReturns()
{
    showSplashScreen(std::chrono::milliseconds(50));
    QCOMPARE(openSplash(), nullptr);
}

void TestSplashScreen::splashLastsTwoSeconds()
{
    QElapsedTimer clock;
    clock.start();
    showSplashScreen();
    QVERIFY(clock.elapsed() >= 1990);
    QVERIFY(clock.elapsed() < 4000);
}

void TestSplashScreen::splashShowsTheEmbossedTitleAndTagline()
{
    SplashScreen splash;
    // The designed 6615 x 2295 twips at least; more only when the texts need it.
    QVERIFY(splash.width() >= DesignSize::twips(&splash, 6615));
    QVERIFY(splash.height() >= DesignSize::twips(&splash, 2295));
    const QImage image = splash.grab().toImage();
    // The title's blue under-copy and the tagline's red one show beside their white copies.
    const int blue =
        countPixels(image, [](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; });
    const int red =
        countPixels(image, [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; });
    const int white =
        countPixels(image, [](QColor c) { return c.red() > 245 && c.green() > 245 && c.blue() > 245; });
    QVERIFY2(blue > 30, qPrintable(QString::number(blue)));
    QVERIFY2(red > 30, qPrintable(QString::number(red)));
    QVERIFY2(white > 100, qPrintable(QString::number(white)));
}

QTEST_MAIN(TestSplashScreen)
#include "tst_splashscreen.moc"
