#pragma once

#include <QLoggingCategory>

// The preferences dialog and the start-up password. Never logs a password or a record.
Q_DECLARE_LOGGING_CATEGORY(lcPrefs)
