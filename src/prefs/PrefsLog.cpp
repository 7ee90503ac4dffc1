#include "PrefsLog.h"

Q_LOGGING_CATEGORY(lcPrefs, "quillbox.prefs")
