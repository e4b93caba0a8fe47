#pragma once

#include "editor/curve/truescale.h"
#include "editor/curveexport.h"
#include "editor/form4.h"

#include <QAction>
#include <QString>

// What can be shown over the drawing while it bends, by name: the joins panel ("joins") and
// the curvature comb ("comb"), as their actions show them, and a 5 mm offset line on both sides
// ("offset"), chosen as "Scala reale..." chooses it and drawn while the panel is shown. False
// for a name it does not know.
inline bool showOverlay(Form4 *editor, const QString &name, bool shown = true)
{
    if (name == QLatin1StringView("offset")) {
        TrueScale scale = editor->findChild<CurveExport *>()->trueScale();
        scale.offsetMillimetres = shown ? 5 : 0;
        scale.offsetSide = OffsetSide::Both;
        emit editor->findChild<CurveExport *>()->trueScaleChosen(scale);
        return true;
    }
    const char *action = name == QLatin1StringView("joins")  ? "actionShowJoins"
                         : name == QLatin1StringView("comb") ? "actionCurvatureComb"
                                                             : nullptr;
    auto *found = action ? editor->findChild<QAction *>(QString::fromLatin1(action)) : nullptr;
    if (!found)
        return false;
    found->setChecked(shown);
    return true;
}
