#include "MakerAddresses.h"

#include "ProgramPlaces.h"

#include <QUrl>

namespace MakerAddresses {

QString aboutPage()
{
    return QUrl::fromLocalFile(ProgramPlaces::dataDirectory() + QStringLiteral("/manual/about.html"))
        .toString();
}

QString supportEmail()
{
    return QStringLiteral(QB_SUPPORT_EMAIL).trimmed();
}

} // namespace MakerAddresses
