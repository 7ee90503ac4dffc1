#pragma once

#include <QLoggingCategory>

// The main window, start-up, note files and shutdown. Never logs note contents.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
