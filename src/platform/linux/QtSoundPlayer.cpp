#include "QtSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::playAsync(const QString &wavPath)
{
    const QUrl url = QUrl::fromLocalFile(wavPath);
    // One effect is kept and reused, so switching tabs quickly does not pile up players.
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    if (m_effect->source() != url)
        m_effect->setSource(url);
    m_effect->play();
}
