#include "editor/curve/editorsnapshot.h"

#include <algorithm>

namespace {

bool sameNumbers(std::initializer_list<std::pair<const Variant &, const Variant &>> values)
{
    return std::ranges::all_of(
        values, [](const auto &pair) { return pair.first.toDouble() == pair.second.toDouble(); });
}

} // namespace

bool looksTheSame(const EditorSnapshot &a, const EditorSnapshot &b)
{
    const CurrentParameters &p = a.current, &q = b.current;
    if (!sameNumbers(
            {{p.SPTO, q.SPTO}, {p.SPTV, q.SPTV}, {p.AVX, q.AVX}, {p.AVY, q.AVY}, {p.INST, q.INST}}))
        return false;
    for (Segment segment : segments) {
        const SegmentValues r = a.table.row(segment), s = b.table.row(segment);
        if (!sameNumbers({{r.SPX, s.SPX}, {r.SPY, s.SPY}, {r.AVX, s.AVX}, {r.AVY, s.AVY}}))
            return false;
    }
    return a.horizontalBar == b.horizontalBar && a.verticalBar == b.verticalBar &&
           a.Text6 == b.Text6 && a.Text7 == b.Text7 && a.Text9 == b.Text9 && a.Text10 == b.Text10 &&
           a.Text11 == b.Text11 && a.grid == b.grid && a.selected == b.selected &&
           a.trueScale == b.trueScale;
}
