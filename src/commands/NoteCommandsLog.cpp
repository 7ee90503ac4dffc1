#include "NoteCommandsLog.h"

Q_LOGGING_CATEGORY(lcNoteCommands, "quillbox.notecommands")
