#include "EditingLog.h"

Q_LOGGING_CATEGORY(lcEditing, "quillbox.editing")
