#pragma once

#include <QSettings>

namespace app {

// The program's settings: the user's defaults, kept between runs.
inline QSettings settings()
{
    return QSettings(QStringLiteral("cinquepunti"), QStringLiteral("cinquepunti"));
}

} // namespace app
