#include "app/appearance.h"

#include <QFont>
#include <QStringList>

namespace app {

namespace {

void installSubstitutions()
{
    static const bool installed = [] {
        QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial", "DejaVu Sans"});
        QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

QFont sansSerif(qreal pointSize, bool bold)
{
    installSubstitutions();
    QFont font("MS Sans Serif");
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont monospace(qreal pointSize)
{
    installSubstitutions();
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace app
