#include "NotesLog.h"

Q_LOGGING_CATEGORY(lcNotes, "quillbox.notes")
Q_LOGGING_CATEGORY(lcSafety, "quillbox.safety")
