#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <chrono>

// The version shown by the splash screen and the About box.
inline const QString ProgramVersion = QStringLiteral("5.3");

// The picture of the splash screen and the About box, from the program's data directory; a null
// pixmap when it is missing (the windows then simply leave its place empty).
QPixmap programPicture();

// Whether start-up shows the splash: always, unless "NoSplash" (trimmed, one final NUL dropped)
// has the numeric value 1.
bool splashWanted(const QString &noSplashValue);

// The splash window: borderless, 6615 x 2295 twips, with the embossed title, the tagline, the
// icon, the picture and the maker's notice; the designed 6615 x 2295 twips, larger when the
// texts need it.
class SplashScreen final : public QWidget
{
    Q_OBJECT
public:
    explicit SplashScreen(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

// Shows the splash screen for about two seconds, keeping window events flowing, then closes it.
// Returns once the splash is gone (hidden and deleted).
void showSplashScreen();
void showSplashScreen(std::chrono::milliseconds duration);
// Ends the wait of the splash now showing at once (the program was asked to end meanwhile).
void cutSplashScreenShort();
// The splash window while it shows, else nullptr.
QWidget *splashScreenShowing();
