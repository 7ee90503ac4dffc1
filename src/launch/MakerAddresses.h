#pragma once

#include <QString>

// The maker's own addresses: the web site that the browser command opens when the desktop's
// handlers are in use, and the About box's links.
namespace MakerAddresses {
inline const QString WebSite = QStringLiteral("https://quillbox.example.org/");
inline const QString SupportEmail = QStringLiteral("support@quillbox.example.org");
} // namespace MakerAddresses
