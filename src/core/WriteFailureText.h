#pragma once

#include "DurableFile.h"

#include <QString>

// What the user reads when something could not be written: what went wrong in words a person
// understands, what was not saved, and where the text is safe meanwhile.
namespace WriteFailureText {

// "the disk is full", "the folder is read-only": the reason alone, to follow a colon or a dash.
QString reason(const DurableFile::Failure &failure);

// The notice above a note whose save failed ("The disk holding your notes is full: "Notes" was not
// saved. ..."). copyFailure is empty when a recovery copy holds the text.
QString noteNotSaved(const DurableFile::Failure &failure, const QString &caption, const QString &noteDir,
                     const DurableFile::Failure &copyFailure);

// "Your text is safe in this window and in a recovery copy.", or in this window only.
QString whereSafe(const DurableFile::Failure &copyFailure);

// A recovery copy could not be written, before any save was tried.
QString recoveryCopyFailed(const DurableFile::Failure &failure, const QString &caption,
                           const QString &folder);

// The note directory cannot take the notes (told at every start while this is so).
QString unusableNoteDirectory(const DurableFile::Failure &failure, const QString &dir);

} // namespace WriteFailureText
