#include "SplashScreen.h"

#include "DesignSize.h"
#include "EmbossedText.h"
#include "ProgramPlaces.h"
#include "SettingValue.h"
#include "TrayIcon.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {
// The wait of the splash now showing, if any, and whether it is to end now. Showing the window
// may already handle events, so the end can be asked for before the wait has begun.
QPointer<QEventLoop> g_splashWait;
bool g_cutShort = false;

constexpr int kWidthTwips = 6615;
constexpr int kHeightTwips = 2295;

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
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
      m_picture(programPicture())
{
    using DesignSize::twips;
    setObjectName(QStringLiteral("SplashScreen"));
    setWindowTitle(QStringLiteral("Quillbox Plus"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    // Title and tagline are drawn twice, the lower copy offset, for a raised look.
    auto *title = new EmbossedText(QStringLiteral("Quillbox Plus v") + ProgramVersion, arialBold(18),
                                   Qt::blue, Qt::white, QPoint(twips(this, 20), twips(this, 20)), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    auto *tagline = new EmbossedText(QStringLiteral("The Ultimate Desktop Addition"), arialBold(12), Qt::red,
                                     Qt::white, QPoint(-twips(this, 15), -twips(this, 15)), this);
    tagline->setObjectName(QStringLiteral("lblTagline"));
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(TrayIcon::programIcon().pixmap(twips(this, 480), twips(this, 480)));
    auto *notice =
        new QLabel(QStringLiteral("Copyright \u00a9 Vek. Free software under the MIT licence."), this);
    notice->setObjectName(QStringLiteral("lblNotice"));
    notice->setFont(arialBold(8.25));
    notice->setAlignment(Qt::AlignCenter);
    QPalette red = notice->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    notice->setPalette(red);

    auto *middle = new QHBoxLayout;
    middle->addSpacing(twips(this, 480 - 240));
    middle->addWidget(icon);
    middle->addStretch(1);
    middle->addWidget(tagline);
    middle->addStretch(2);
    auto *layout = new QVBoxLayout(this);
    const int margin = twips(this, 240);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addLayout(middle);
    layout->addWidget(notice);
    // The designed 6615 x 2295 twips, larger only when the texts need it.
    setFixedSize(layout->sizeHint().expandedTo(DesignSize::twips(this, kWidthTwips, kHeightTwips)));
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
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

    // A raised frame: light along the top and left, grey along the bottom and right, with an
    // etched rectangle inside.
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(outer.topLeft(), outer.topRight());
    p.drawLine(outer.topLeft(), outer.bottomLeft());
    p.setPen(QPen(Qt::gray, 2));
    p.drawLine(outer.bottomLeft(), outer.bottomRight());
    p.drawLine(outer.topRight(), outer.bottomRight());
    const int inset = DesignSize::twips(this, 90);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(outer.adjusted(inset, inset, -inset, -inset));
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(outer.adjusted(inset + 2, inset + 2, -inset - 2, -inset - 2));
}

void showSplashScreen()
{
    showSplashScreen(std::chrono::seconds(2));
}

void showSplashScreen(std::chrono::milliseconds duration)
{
    QEventLoop wait;
    g_splashWait = &wait;
    g_cutShort = false;
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
    QTimer::singleShot(duration, Qt::PreciseTimer, &wait, &QEventLoop::quit);
    if (!g_cutShort)
        wait.exec();
    g_splashWait = nullptr;

    splash->hide();
}

void cutSplashScreenShort()
{
    g_cutShort = true;
    if (g_splashWait)
        g_splashWait->quit();
}

QWidget *splashScreenShowing()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<SplashScreen *>(window) && window->isVisible())
            return window;
    }
    return nullptr;
}
