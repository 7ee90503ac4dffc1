#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcNotes)
Q_DECLARE_LOGGING_CATEGORY(lcSafety)
