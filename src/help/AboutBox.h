#pragma once

#include <QDialog>

#include <functional>

class ClickableLabel;
class QLabel;
class QPushButton;

// Who made the program and how to reach them, with what the two links do when clicked. The
// links are handed the About box as the owner of anything they show.
struct AboutLinks
{
    QString webSite;      // the program's web page, opened by the web link and the picture
    QString webSiteTitle; // what the web link shows of it (the address itself when empty)
    QString supportEmail; // the support address; without one the box has no e-mail line
    std::function<void(QWidget *owner, const QString &webSite)> openWebSite;
    std::function<void(QWidget *owner, const QString &address)> composeEmail;
};

// The About box: the product name with its shadow, the version, the picture, a web-site link,
// an e-mail link and "&Ok": the designed 6930 x 5010 twips, larger when the desktop font needs it.
class AboutBox final : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(AboutLinks links, QWidget *parent = nullptr);

    ClickableLabel *webSiteLabel() const { return m_label1; }
    ClickableLabel *emailLabel() const { return m_label3; }
    ClickableLabel *picture() const { return m_picture2; }
    QPushButton *okButton() const { return m_cmdOkay; }

    // Centres the box on the screen, in whole pixels.
    void CenterMe();

private:
    void openWebSite();
    void composeEmail();

    AboutLinks m_links;
    ClickableLabel *m_label1 = nullptr;
    ClickableLabel *m_label3 = nullptr;
    ClickableLabel *m_picture2 = nullptr;
    QPushButton *m_cmdOkay = nullptr;
};

// "&About..." and the tray's "&About Quillbox Plus": shows the box without waiting for it, or
// brings the one already open forward. The links are taken from the first call that opens it.
AboutBox *ShowAbout(QWidget *owner, const AboutLinks &links);
