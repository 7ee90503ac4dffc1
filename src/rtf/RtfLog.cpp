#include "RtfLog.h"

namespace rtf {
Q_LOGGING_CATEGORY(lcRtf, "quillbox.rtf")
}
