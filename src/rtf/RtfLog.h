#pragma once

#include <QLoggingCategory>

namespace rtf {
Q_DECLARE_LOGGING_CATEGORY(lcRtf)
}
