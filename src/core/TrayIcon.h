#pragma once

#include <QObject>
#include <QPoint>

// The program's icon in the notification area, from start-up to shutdown.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // False when the desktop has no notification area: the window must then never hide itself.
    static bool isAvailable();

    void InitTray();   // adds the icon with the tooltip "Quillbox Plus"
    void DeleteIcon(); // removes it

signals:
    // A click (left, double, middle or right release) asks for the main window back.
    void restoreRequested();
    // After a right-button release, once the window is back: open the popup menu here.
    void popupMenuRequested(const QPoint &globalPos);
    void closeRequested(); // "&Close Quillbox Plus"
    void aboutRequested(); // "&About Quillbox Plus"
};
