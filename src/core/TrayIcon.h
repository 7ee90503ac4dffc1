#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSystemTrayIcon>

#include <memory>

class QAction;
class QMenu;
class QTimer;

// The program's icon in the notification area, from start-up to shutdown.
//
// A left click brings the main window back, or hides it again when it is already in front; every
// other click (double, middle or right) brings it back, and the right button then also opens the
// popup menu with "&Close Quillbox Plus" and "&About Quillbox Plus".
// The menu is ours, not the tray's own context menu, because the window must be back in view
// before the menu opens over it.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // False when the desktop has no notification area: the window must then never hide itself.
    static bool isAvailable();

    // The program's own icon: the hicolor files shipped with the program, else the icon theme's
    // "quillbox", else a generic one, so the tray never shows an empty spot.
    static QIcon programIcon();

    // What a click on the icon asks of the program; mouse moves and unknown reasons do nothing.
    enum class Response { Nothing, Toggle, Restore, RestoreThenMenu };
    static Response responseTo(QSystemTrayIcon::ActivationReason reason);

    void InitTray();   // adds the icon with the tooltip "Quillbox Plus"
    void DeleteIcon(); // removes it
    bool isShown() const;
    QString toolTip() const;

    // Where the icon sits on the screen (empty when the desktop does not say).
    QRect geometry() const;

    // The popup menu: "&Close Quillbox Plus" then "&About Quillbox Plus".
    QMenu *popupMenu();
    QAction *closeAction();
    QAction *aboutAction();

    // Reacts to a click as the tray reports it; public so the reaction can be driven directly.
    void handleActivation(QSystemTrayIcon::ActivationReason reason);

signals:
    // A double, middle or right click asks for the main window back.
    void restoreRequested();
    // A left click: the window back, or hidden when it is in front.
    void toggleRequested();
    // After a right click, once the window is back; the popup menu opens there right after.
    void popupMenuRequested(const QPoint &globalPos);
    void closeRequested(); // "&Close Quillbox Plus"
    void aboutRequested(); // "&About Quillbox Plus"
    // The desktop's notification area went away (a panel restarted or removed) or came (back).
    void availabilityChanged(bool available);

public:
    // How often the icon looks whether the notification area is still there; Qt reports it only
    // when asked.
    static constexpr int AvailabilityPollMs = 500;

private:
    void buildMenu();
    void checkAvailability();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QMenu> m_menu;
    QAction *m_close = nullptr;
    QAction *m_about = nullptr;
    QTimer *m_availabilityPoll = nullptr;
    bool m_available = false;
};
