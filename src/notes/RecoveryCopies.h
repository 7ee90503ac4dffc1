#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Notes that could not be written to the note directory at shutdown are kept in the per-user data
// directory instead, and the next start tells the user where they are.
namespace RecoveryCopies {

// "<per-user data directory>/Recovered notes", created on demand.
QString directory();

// A fresh path in the recovery directory for a copy of the note file, named with the time.
QString pathFor(const QString &noteFileName, const QDateTime &when = QDateTime::currentDateTime());

// The note (1..7) a copy made by pathFor() belongs to, or 0.
int noteOf(const QString &copyPath);

// Notes the copies so that the next start can report them; false when even that failed.
bool remember(const QStringList &paths);

// The copies noted since the last call, and forgets them.
QStringList takeRemembered();

} // namespace RecoveryCopies
