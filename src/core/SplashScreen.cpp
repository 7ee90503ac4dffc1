#include "SplashScreen.h"

#include "ProgramPlaces.h"
#include "SettingValue.h"
#include "TrayIcon.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {
constexpr int kWidthTwips = 6615;
constexpr int kHeightTwips = 2295;
constexpr int kTwipsPerPoint = 20;

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    // The painter works in twips, so the size is given in twips too.
    font.setPixelSize(qRound(points * kTwipsPerPoint));
    return font;
}

// Text drawn twice, the lower copy offset, for the raised look of the title and the tagline.
void drawEmbossed(QPainter &p, const QRect &box, int flags, const QString &text, const QColor &under,
                  QPoint underAt, const QColor &over, QPoint overAt)
{
    p.setPen(under);
    p.drawText(box.translated(underAt), flags, text);
    p.setPen(over);
    p.drawText(box.translated(overAt), flags, text);
}
} // namespace

QPixmap programPicture()
{
    return QPixmap(ProgramPlaces::dataDirectory() + QStringLiteral("/images/quillbox.png"));
}

bool splashWanted(const QString &noSplashValue)
{
    return SettingValue::numeric(SettingValue::dropFinalNul(noSplashValue.trimmed()).trimmed()) != 1;
}

SplashScreen::SplashScreen(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(programPicture()), m_icon(TrayIcon::programIcon().pixmap(64, 64))
{
    setObjectName(QStringLiteral("SplashScreen"));
    setWindowTitle(QStringLiteral("Quillbox Plus"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(twips(kWidthTwips), twips(kHeightTwips));
}

int SplashScreen::twips(int value) const
{
    return qRound(value * logicalDpiX() / 1440.0);
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(rect(), QColor(0xd4, 0xd0, 0xc8));
    if (!m_picture.isNull()) {
        // The picture is larger than the window: it fills it as a faint backdrop behind the text.
        const QPixmap scaled =
            m_picture.scaled(size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        p.setOpacity(0.35);
        p.drawPixmap((width() - scaled.width()) / 2, (height() - scaled.height()) / 2, scaled);
        p.setOpacity(1.0);
    }

    p.scale(width() / double(kWidthTwips), height() / double(kHeightTwips));

    // A raised frame: light along the top and left, grey along the bottom and right.
    const QRect outer(0, 0, kWidthTwips - 15, kHeightTwips - 15);
    p.setPen(QPen(Qt::white, 30));
    p.drawLine(outer.topLeft(), outer.topRight());
    p.drawLine(outer.topLeft(), outer.bottomLeft());
    p.setPen(QPen(Qt::gray, 30));
    p.drawLine(outer.bottomLeft(), outer.bottomRight());
    p.drawLine(outer.topRight(), outer.bottomRight());
    p.setPen(QPen(Qt::white, 15));
    p.drawRect(QRect(90, 90, kWidthTwips - 195, kHeightTwips - 195));
    p.setPen(QPen(Qt::gray, 15));
    p.drawRect(QRect(120, 120, kWidthTwips - 255, kHeightTwips - 255));

    p.setFont(arialBold(18));
    drawEmbossed(p, QRect(0, 0, 6135, 975), Qt::AlignHCenter | Qt::AlignTop,
                 QStringLiteral("Quillbox Plus v") + ProgramVersion, Qt::blue, {260, 260}, Qt::white,
                 {240, 240});
    p.setFont(arialBold(12));
    drawEmbossed(p, QRect(0, 0, 3465, 285), Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("The Ultimate Desktop Addition"), Qt::red, {1560, 720}, Qt::white,
                 {1575, 735});

    p.drawPixmap(QRect(480, 720, 480, 480), m_icon);

    p.setFont(arialBold(8.25));
    p.setPen(Qt::red);
    p.drawText(QRect(615, 1320, 5385, 210), Qt::AlignCenter,
               QStringLiteral("Copyright \u00a9 Vek. Free software under the MIT licence."));
}

void showSplashScreen()
{
    showSplashScreen(std::chrono::seconds(2));
}

void showSplashScreen(std::chrono::milliseconds duration)
{
    auto splash = std::make_unique<SplashScreen>();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        splash->move(area.x() + (area.width() - splash->width()) / 2,
                     area.y() + (area.height() - splash->height()) / 2);
    }
    splash->show();
    // It comes up above everything, then drops to the normal layer so windows raised later (a
    // password question, another program) are not covered by it. Changing the flags on the native
    // window keeps it shown, where QWidget::setWindowFlags would hide it again.
    if (QWindow *native = splash->windowHandle())
        native->setFlags(native->flags() & ~Qt::WindowStaysOnTopHint);

    // A precise timer: a coarse one may end the wait up to a twentieth early.
    QEventLoop wait;
    QTimer::singleShot(duration, Qt::PreciseTimer, &wait, &QEventLoop::quit);
    wait.exec();

    splash->hide();
}
