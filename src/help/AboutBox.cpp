#include "AboutBox.h"

#include "ClickableLabel.h"
#include "DesignSize.h"
#include "EmbossedText.h"
#include "SplashScreen.h"

#include <QBoxLayout>
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
    using DesignSize::twips;
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // The box has no caption of its own; the desktop shows the program name in its place.
    setWindowTitle(QString());

    // The title with a grey copy 15 twips further left, which reads as a shadow.
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    auto *title = new EmbossedText(QStringLiteral("Quillbox Plus by Vek"), titleFont, Qt::gray,
                                   palette().color(QPalette::WindowText), QPoint(-twips(this, 15), 0), this);
    title->caption()->setObjectName(QStringLiteral("Label2"));
    title->underCopy()->setObjectName(QStringLiteral("Label2Shadow"));

    auto *version = new QLabel(QStringLiteral("Version ") + ProgramVersion, this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_picture2 = new ClickableLabel(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setAlignment(Qt::AlignCenter);
    const QSize pictureSize = DesignSize::twips(this, 5040, 3270);
    m_picture2->setMinimumSize(pictureSize);
    const QPixmap picture = programPicture();
    if (!picture.isNull())
        m_picture2->setPixmap(picture.scaled(pictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_picture2->setToolTip(m_links.webSite);
    m_picture2->setAccessibleName(QStringLiteral("Visit Our Web Site"));

    m_label1 =
        new ClickableLabel(QStringLiteral("Click Here to Visit Our Web Site: ") +
                               (m_links.webSiteTitle.isEmpty() ? m_links.webSite : m_links.webSiteTitle),
                           this);
    m_label1->setToolTip(m_links.webSite);
    m_label1->setObjectName(QStringLiteral("Label1"));
    styleAsLink(m_label1);
    m_label3 = new ClickableLabel(QStringLiteral("E-Mail: ") + m_links.supportEmail, this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    styleAsLink(m_label3);
    m_label3->setVisible(!m_links.supportEmail.isEmpty());

    m_cmdOkay = new QPushButton(QStringLiteral("&Ok"), this);
    m_cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    m_cmdOkay->setMinimumWidth(twips(this, 615));
    // Default and cancel at once: Enter and Escape both close the box.
    m_cmdOkay->setDefault(true);
    m_cmdOkay->setAutoDefault(true);

    // The design's places, as a layout: title and Ok on top, the rule, the version indented
    // under the title, the picture, and the two links centred below it.
    auto *top = new QHBoxLayout;
    top->addWidget(title);
    top->addStretch();
    top->addWidget(m_cmdOkay, 0, Qt::AlignTop);
    auto *versionRow = new QHBoxLayout;
    versionRow->addSpacing(twips(this, 1080 - 360));
    versionRow->addWidget(version);
    versionRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(versionRow);
    layout->addWidget(m_picture2, 1, Qt::AlignCenter);
    layout->addWidget(m_label1, 0, Qt::AlignHCenter);
    layout->addWidget(m_label3, 0, Qt::AlignHCenter);
    // The designed 6930 x 5010 twips, or more when the desktop's font needs it; not resizable.
    ensurePolished();
    setFixedSize(layout->sizeHint().expandedTo(DesignSize::twips(this, kWidthTwips, kHeightTwips)));

    connect(m_cmdOkay, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_label1, &ClickableLabel::clicked, this, &AboutBox::openWebSite);
    connect(m_picture2, &ClickableLabel::clicked, this, &AboutBox::openWebSite);
    connect(m_label3, &ClickableLabel::clicked, this, &AboutBox::composeEmail);
    setTabOrder(m_cmdOkay, m_label1);
    setTabOrder(m_label1, m_label3);
    m_cmdOkay->setFocus();
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
