#include "AboutBox.h"

#include "ClickableLabel.h"
#include "SplashScreen.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kWidthTwips = 6930;
constexpr int kHeightTwips = 5010;

void styleAsLink(QLabel *label)
{
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    label->setPalette(palette);
}
} // namespace

AboutBox::AboutBox(AboutLinks links, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_links(std::move(links))
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // The box has no caption of its own; the desktop shows the program name in its place.
    setWindowTitle(QString());
    setFixedSize(twips(kWidthTwips), twips(kHeightTwips));

    // The title twice: a grey copy 15 twips further left first, so it reads as a shadow.
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    auto *shadow = new QLabel(QStringLiteral("Quillbox Plus by Vek"), this);
    shadow->setObjectName(QStringLiteral("Label2Shadow"));
    shadow->setFont(titleFont);
    QPalette grey = shadow->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    shadow->setPalette(grey);
    auto *title = new QLabel(QStringLiteral("Quillbox Plus by Vek"), this);
    title->setObjectName(QStringLiteral("Label2"));
    title->setFont(titleFont);
    const QRect titleRect = twipsRect(360, 120, 2655, 300);
    const int titleWidth = std::max(titleRect.width(), title->sizeHint().width());
    const int titleHeight = std::max(titleRect.height(), title->sizeHint().height());
    title->setGeometry(titleRect.x(), titleRect.y(), titleWidth, titleHeight);
    shadow->setGeometry(twips(345), titleRect.y(), titleWidth, titleHeight);

    auto *version = new QLabel(QStringLiteral("Version ") + ProgramVersion, this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->move(twips(1080), twips(720));
    version->resize(std::max(twips(975), version->sizeHint().width()), version->sizeHint().height());

    for (int top : {600, 615}) {
        auto *line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setStyleSheet(top == 600 ? QStringLiteral("color: gray") : QStringLiteral("color: white"));
        line->setGeometry(twipsRect(120, top, kWidthTwips - 240, 15).adjusted(0, 0, 0, 1));
    }

    m_picture2 = new ClickableLabel(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setGeometry(twipsRect(1080, 1080, 5040, 3270));
    m_picture2->setAlignment(Qt::AlignCenter);
    const QPixmap picture = programPicture();
    if (!picture.isNull())
        m_picture2->setPixmap(
            picture.scaled(m_picture2->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_picture2->setToolTip(m_links.webSite);

    // The links keep their designed left edge but grow to their text and stay inside the box.
    const auto placeLink = [this](ClickableLabel *label, const QRect &designed) {
        const int w = std::max(designed.width(), label->sizeHint().width());
        const int left = std::max(0, std::min(designed.x(), width() - w - twips(120)));
        label->setGeometry(left, designed.y(), w, std::max(designed.height(), label->sizeHint().height()));
    };
    m_label1 =
        new ClickableLabel(QStringLiteral("Click Here to Visit Our Web Site: ") + m_links.webSite, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    styleAsLink(m_label1);
    placeLink(m_label1, twipsRect(360, 4440, 6315, 240));
    m_label3 = new ClickableLabel(QStringLiteral("E-Mail: ") + m_links.supportEmail, this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    styleAsLink(m_label3);
    placeLink(m_label3, twipsRect(1920, 4680, 3255, 240));

    m_cmdOkay = new QPushButton(QStringLiteral("&Ok"), this);
    m_cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    const QRect okRect = twipsRect(6240, 480, 615, 375);
    const int okWidth = std::max(okRect.width(), m_cmdOkay->sizeHint().width());
    m_cmdOkay->setGeometry(std::min(okRect.x(), width() - okWidth - twips(75)), okRect.y(), okWidth,
                           std::max(okRect.height(), m_cmdOkay->sizeHint().height()));
    // Default and cancel at once: Enter and Escape both close the box.
    m_cmdOkay->setDefault(true);
    m_cmdOkay->setAutoDefault(true);

    connect(m_cmdOkay, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_label1, &ClickableLabel::clicked, this, &AboutBox::openWebSite);
    connect(m_picture2, &ClickableLabel::clicked, this, &AboutBox::openWebSite);
    connect(m_label3, &ClickableLabel::clicked, this, &AboutBox::composeEmail);
    setTabOrder(m_cmdOkay, m_label1);
    setTabOrder(m_label1, m_label3);
    m_cmdOkay->setFocus();
}

int AboutBox::twips(int value) const
{
    return qRound(value * logicalDpiX() / 1440.0);
}

QRect AboutBox::twipsRect(int left, int top, int width, int height) const
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

void AboutBox::CenterMe()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void AboutBox::openWebSite()
{
    if (m_links.openWebSite)
        m_links.openWebSite(this, m_links.webSite);
}

void AboutBox::composeEmail()
{
    if (m_links.composeEmail)
        m_links.composeEmail(this, m_links.supportEmail);
}

AboutBox *ShowAbout(QWidget *owner, const AboutLinks &links)
{
    static QPointer<AboutBox> open;
    const bool fresh = !open;
    if (fresh)
        open = new AboutBox(links, owner);
    open->show();
    // Centred once shown, when the size of the window frame is known; a box already open stays
    // where the user put it.
    if (fresh)
        open->CenterMe();
    open->raise();
    open->activateWindow();
    return open;
}
