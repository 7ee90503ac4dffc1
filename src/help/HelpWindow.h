#pragma once

#include <QMainWindow>
#include <QUrl>

#include <functional>

class QAction;
class QTextBrowser;

// The user manual's reader: the HTML pages shipped in the data directory, with back, forward and
// contents, and links between the pages. Links that leave the manual (web and mail addresses) go
// to the desktop through the opener given at construction.
class HelpWindow final : public QMainWindow
{
    Q_OBJECT
public:
    using OutsideLinkOpener = std::function<void(const QUrl &)>;

    explicit HelpWindow(OutsideLinkOpener openOutside, QWidget *parent = nullptr);

    void showPage(const QUrl &page);
    QUrl currentPage() const;

    QTextBrowser *browser() const { return m_browser; }
    QAction *backAction() const { return m_back; }
    QAction *forwardAction() const { return m_forward; }
    QAction *contentsAction() const { return m_contents; }

    // Follows a link as a click on it does: pages of the manual open here, the rest outside.
    void followLink(const QUrl &link);

private:
    void updateTitle();

    OutsideLinkOpener m_openOutside;
    QTextBrowser *m_browser = nullptr;
    QAction *m_back = nullptr;
    QAction *m_forward = nullptr;
    QAction *m_contents = nullptr;
    QUrl m_home;
};

// The manual's first page, looked up afresh at every use.
QString helpContentsPath();

// "&Contents": shows the manual's first page in the help window, opening the window or bringing
// the open one forward. A missing manual shows no message; the result is then nullptr.
HelpWindow *ShowHelpContents(QWidget *owner, HelpWindow::OutsideLinkOpener openOutside);
