#pragma once

#include <QString>

// Where the About box's links lead. The program has no web site of its own: its web page is the
// manual's "About" page on this computer, and the support address exists only when the build
// was given one (cmake -DQB_SUPPORT_EMAIL=...).
namespace MakerAddresses {
// The manual's "About" page as a file URL.
QString aboutPage();
// The support address, or empty: the About box then has no e-mail line.
QString supportEmail();
} // namespace MakerAddresses
