#include "formats/document.h"

#include "common/numbers.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

namespace {

// Far beyond any document (a few kilobytes), and small enough to read at once.
constexpr qint64 largestDocument = 4 * 1024 * 1024;

// Every key of the document, spelled once for writing and reading.
namespace key {
constexpr const char *format = "format", *version = "version", *locale = "locale",
                     *workFile = "workFile", *calibrationRatio = "calibrationRatio",
                     *basePoints = "basePoints", *editor = "editor";
constexpr const char *name = "name", *x = "x", *y = "y", *xText = "xText", *yText = "yText";
constexpr const char *kind = "kind", *value = "value";
constexpr const char *bars = "bars", *horizontal = "horizontal", *vertical = "vertical";
constexpr const char *current = "current", *SPTO = "SPTO", *SPTV = "SPTV", *AVX = "AVX",
                     *AVY = "AVY", *INST = "INST", *SPX = "SPX", *SPY = "SPY";
constexpr const char *texts = "texts", *horizontalDisplacement = "horizontalDisplacement",
                     *verticalDisplacement = "verticalDisplacement",
                     *pointsIncrement = "pointsIncrement",
                     *verticalAlfaIncrement = "verticalAlfaIncrement",
                     *horizontalAlfaIncrement = "horizontalAlfaIncrement";
constexpr const char *selectedSegment = "selectedSegment", *segments = "segments", *grid = "grid";
constexpr const char *trueScale = "trueScale", *millimetresPerUnit = "millimetresPerUnit",
                     *paper = "paper", *overlap = "overlap";
constexpr const char *offsetMillimetres = "offsetMillimetres", *offsetSide = "offsetSide";
} // namespace key

constexpr const char *formatName = "cinquepunti";
const char *const pointNames[] = {"A", "B", "C", "D", "E"};

QLatin1StringView name(const char *key)
{
    return QLatin1StringView(key);
}

// Reads the fields of one JSON object, naming each by its path ("editor.bars.vertical") when it
// refuses it. The first refusal is kept for the whole document; after it every read gives a
// default, and the document is refused once reading ends.
class Reader
{
public:
    Reader(const QJsonObject &object, QString path, std::optional<QString> &refusal)
        : m_object(object), m_path(std::move(path)), m_refusal(refusal)
    {
    }

    bool has(const char *key) const { return m_object.contains(name(key)); }
    void refuse(const QString &reason) const
    {
        if (!m_refusal)
            m_refusal = reason;
    }
    void invalid(const char *key) const
    {
        refuse(QStringLiteral("il campo «%1» non è valido").arg(pathOf(key)));
    }
    void outOfRange(const char *key) const
    {
        refuse(
            QStringLiteral("il valore di «%1» è fuori dall'intervallo ammesso").arg(pathOf(key)));
    }

    QJsonValue value(const char *key) const
    {
        const QJsonValue v = m_object.value(name(key));
        if (v.isUndefined())
            refuse(QStringLiteral("manca il campo «%1»").arg(pathOf(key)));
        return v;
    }
    Reader object(const char *key) const
    {
        const QJsonValue v = value(key);
        if (!v.isUndefined() && !v.isObject())
            invalid(key);
        return Reader(v.toObject(), pathOf(key), m_refusal);
    }
    // The array's objects, one for each name, each read under its name ("basePoints.A").
    std::vector<Reader> objects(const char *key, std::span<const char *const> names) const
    {
        const QJsonValue v = value(key);
        const QJsonArray a = v.toArray();
        std::vector<Reader> readers;
        for (qsizetype i = 0; i < qsizetype(names.size()); ++i) {
            if (!v.isUndefined() && (a.size() != qsizetype(names.size()) || !a[i].isObject()))
                invalid(key);
            readers.push_back(
                Reader(a[i].toObject(), pathOf(key) + u'.' + name(names[i]), m_refusal));
        }
        return readers;
    }
    QString text(const char *key) const
    {
        const QJsonValue v = value(key);
        if (!v.isUndefined() && !v.isString())
            invalid(key);
        return v.toString();
    }
    double number(const char *key) const
    {
        const QJsonValue v = value(key);
        if (!v.isUndefined() && (!v.isDouble() || !std::isfinite(v.toDouble())))
            invalid(key);
        return std::isfinite(v.toDouble()) ? v.toDouble() : 0;
    }
    int integer(const char *key, int limit) const
    {
        const double n = number(key);
        if (n != std::trunc(n) || std::abs(n) > limit) {
            invalid(key);
            return 0;
        }
        return static_cast<int>(n);
    }
    std::array<QString, 4> texts4(const char *key) const
    {
        const QJsonValue v = value(key);
        const QJsonArray a = v.toArray();
        std::array<QString, 4> texts;
        for (qsizetype i = 0; i < 4; ++i) {
            if (!v.isUndefined() && (a.size() != 4 || !a[i].isString()))
                invalid(key);
            texts[std::size_t(i)] = a[i].toString();
        }
        return texts;
    }

private:
    QString pathOf(const char *key) const
    {
        return m_path.isEmpty() ? QString(name(key)) : m_path + u'.' + name(key);
    }

    QJsonObject m_object;
    QString m_path;
    std::optional<QString> &m_refusal;
};

// What a variant field may hold: any finite number (a base point's coordinate), a whole
// displacement within its bar, or an increment the checks accept (not 0, not beyond a limit).
struct Allowed
{
    enum { Coordinate, Displacement, Increment } what = Coordinate;
    double limit = HUGE_VAL;
};

QJsonObject toJson(const Variant &value)
{
    QJsonObject object{{name(key::kind), Variant::kindName(value.kind())}};
    if (!value.isUnset())
        object.insert(name(key::value), value.toDouble());
    return object;
}

Variant variantFromJson(const Reader &parent, const char *field, Allowed allowed)
{
    const Reader v = parent.object(field);
    const std::optional<Variant::Kind> kind = Variant::kindNamed(v.text(key::kind));
    if (!kind) {
        parent.invalid(field);
        return {};
    }
    if (*kind == Variant::Kind::Unset)
        return {};
    const double n = v.number(key::value);
    const bool inRange =
        allowed.what == Allowed::Coordinate ||
        (allowed.what == Allowed::Displacement ? n == std::trunc(n) && std::abs(n) <= allowed.limit
                                               : n != 0 && n <= allowed.limit);
    if (!inRange) {
        parent.outOfRange(field);
        return {};
    }
    // Displacements are whole numbers held as integers, as the bars give them.
    const bool kindAllowed =
        allowed.what != Allowed::Displacement || *kind == Variant::Kind::Integer;
    const std::optional<Variant> value = Variant::ofKind(*kind, n);
    if (!value || !kindAllowed) {
        (allowed.what == Allowed::Coordinate ? v : parent)
            .invalid(allowed.what == Allowed::Coordinate ? key::value : field);
        return {};
    }
    return *value;
}

QJsonArray toJson(const std::array<QString, 4> &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(text);
    return array;
}

QJsonObject toJson(const TrueScale &scale)
{
    return {{name(key::millimetresPerUnit), scale.millimetresPerUnit},
            {name(key::paper), paperKey(scale.paper)},
            {name(key::overlap), scale.overlap},
            {name(key::offsetMillimetres), scale.offsetMillimetres},
            {name(key::offsetSide), offsetSideKey(scale.offsetSide)}};
}

TrueScale trueScaleFromJson(const Reader &editor)
{
    // Documents from before the true scale was kept have the default one.
    if (!editor.has(key::trueScale))
        return defaultTrueScale();
    const Reader r = editor.object(key::trueScale);
    TrueScale scale{.millimetresPerUnit = r.number(key::millimetresPerUnit),
                    .overlap = r.number(key::overlap)};
    if (const std::optional<QPageSize::PageSizeId> paper = paperOfKey(r.text(key::paper)))
        scale.paper = *paper;
    else
        r.invalid(key::paper);
    // Documents from before the offset line have none.
    if (r.has(key::offsetMillimetres))
        scale.offsetMillimetres = r.number(key::offsetMillimetres);
    if (r.has(key::offsetSide)) {
        if (const std::optional<OffsetSide> side = offsetSideOfKey(r.text(key::offsetSide)))
            scale.offsetSide = *side;
        else
            r.invalid(key::offsetSide);
    }
    if (!isValid(scale))
        editor.invalid(key::trueScale);
    return scale;
}

QJsonObject toJson(const CurrentParameters &current)
{
    return {{name(key::SPTO), toJson(current.SPTO)},
            {name(key::SPTV), toJson(current.SPTV)},
            {name(key::AVX), toJson(current.AVX)},
            {name(key::AVY), toJson(current.AVY)},
            {name(key::INST), toJson(current.INST)}};
}

CurrentParameters currentFromJson(const Reader &r)
{
    CurrentParameters current{
        .SPTO = variantFromJson(r, key::SPTO, {Allowed::Displacement, horizontalBarLimit}),
        .SPTV = variantFromJson(r, key::SPTV, {Allowed::Displacement, verticalBarLimit}),
        .AVX = variantFromJson(r, key::AVX, {Allowed::Increment}),
        .AVY = variantFromJson(r, key::AVY, {Allowed::Increment}),
        .INST = variantFromJson(r, key::INST, {Allowed::Increment, maximumPointsIncrement})};
    if (current.INST.isUnset())
        r.invalid(key::INST);
    return current;
}

QJsonObject toJson(const SegmentValues &row, const std::array<QString, 4> &grid)
{
    return {{name(key::SPX), toJson(row.SPX)},
            {name(key::SPY), toJson(row.SPY)},
            {name(key::AVX), toJson(row.AVX)},
            {name(key::AVY), toJson(row.AVY)},
            {name(key::grid), toJson(grid)}};
}

SegmentValues rowFromJson(const Reader &r)
{
    return {.SPX = variantFromJson(r, key::SPX, {Allowed::Displacement, horizontalBarLimit}),
            .SPY = variantFromJson(r, key::SPY, {Allowed::Displacement, verticalBarLimit}),
            .AVX = variantFromJson(r, key::AVX, {Allowed::Increment}),
            .AVY = variantFromJson(r, key::AVY, {Allowed::Increment})};
}

QJsonObject toJson(const EditorSnapshot &state)
{
    QJsonObject table;
    for (Segment segment : segments)
        table.insert(segmentName(segment),
                     toJson(state.table.row(segment), state.grid[std::size_t(segment)]));
    return {{name(key::bars), QJsonObject{{name(key::horizontal), state.horizontalBar},
                                          {name(key::vertical), state.verticalBar}}},
            {name(key::current), toJson(state.current)},
            {name(key::texts), QJsonObject{{name(key::horizontalDisplacement), state.Text6},
                                           {name(key::verticalDisplacement), state.Text7},
                                           {name(key::pointsIncrement), state.Text9},
                                           {name(key::verticalAlfaIncrement), state.Text10},
                                           {name(key::horizontalAlfaIncrement), state.Text11}}},
            {name(key::selectedSegment), state.selected ? QJsonValue(segmentName(*state.selected))
                                                        : QJsonValue(QJsonValue::Null)},
            {name(key::segments), table},
            {name(key::trueScale), toJson(state.trueScale)}};
}

EditorSnapshot editorFromJson(const Reader &r)
{
    EditorSnapshot state;
    const Reader bars = r.object(key::bars);
    state.horizontalBar = bars.integer(key::horizontal, horizontalBarLimit);
    state.verticalBar = bars.integer(key::vertical, verticalBarLimit);
    state.current = currentFromJson(r.object(key::current));
    const Reader texts = r.object(key::texts);
    state.Text6 = texts.text(key::horizontalDisplacement);
    state.Text7 = texts.text(key::verticalDisplacement);
    state.Text9 = texts.text(key::pointsIncrement);
    state.Text10 = texts.text(key::verticalAlfaIncrement);
    state.Text11 = texts.text(key::horizontalAlfaIncrement);
    if (const QJsonValue selected = r.value(key::selectedSegment); !selected.isNull()) {
        state.selected = segmentNamed(selected.toString());
        if (!selected.isString() || !state.selected)
            r.invalid(key::selectedSegment);
    }
    const Reader table = r.object(key::segments);
    for (Segment segment : segments) {
        const QByteArray segmentKey = segmentName(segment).toLatin1();
        const Reader row = table.object(segmentKey.constData());
        state.table.setRow(segment, rowFromJson(row));
        state.grid[std::size_t(segment)] = row.texts4(key::grid);
    }
    state.trueScale = trueScaleFromJson(r);
    return state;
}

QJsonObject pointToJson(const CurveDocument &document, std::size_t i)
{
    return {{name(key::name), pointNames[i]},
            {name(key::x), toJson(document.points.X[i])},
            {name(key::y), toJson(document.points.Y[i])},
            {name(key::xText), document.pointTexts[2 * i]},
            {name(key::yText), document.pointTexts[2 * i + 1]}};
}

void pointFromJson(const Reader &point, CurveDocument &document, std::size_t i)
{
    // Coordinates are whatever the base points window accepted: any finite number.
    document.points.X[i] = variantFromJson(point, key::x, {});
    document.points.Y[i] = variantFromJson(point, key::y, {});
    document.pointTexts[2 * i] = point.text(key::xText);
    document.pointTexts[2 * i + 1] = point.text(key::yText);
}

// A number the user typed, written again as the reader's locale writes it: "1,5" saved under
// Italian settings opens as "1.5" under English ones, so that the checks read the same value.
// A text that was no number, or that both locales read alike, stays as it was.
QString inReaderLocale(const QString &text, const QLocale &writer, const QLocale &reader)
{
    const std::optional<double> value = parseNumber(text, writer);
    if (!value || parseNumber(text, reader) == value)
        return text;
    return formatNumber(*value, reader);
}

void retellNumbers(CurveDocument &document, const QLocale &writer, const QLocale &reader)
{
    const auto retell = [&](QString &text) { text = inReaderLocale(text, writer, reader); };
    std::ranges::for_each(document.pointTexts, retell);
    EditorSnapshot &state = document.editor;
    for (QString *text : {&state.Text6, &state.Text7, &state.Text9, &state.Text10, &state.Text11})
        retell(*text);
    for (std::array<QString, 4> &row : state.grid)
        std::ranges::for_each(row, retell);
}

QJsonObject toJson(const CurveDocument &document, const QLocale &writer)
{
    QJsonArray points;
    for (std::size_t i = 0; i < 5; ++i)
        points.append(pointToJson(document, i));
    QJsonObject root{{name(key::format), formatName},
                     {name(key::version), documentVersion},
                     {name(key::locale), writer.name()},
                     {name(key::calibrationRatio), document.calibrationRatio},
                     {name(key::basePoints), points},
                     {name(key::editor), toJson(document.editor)}};
    if (!document.workFile.isEmpty())
        root.insert(name(key::workFile), document.workFile);
    return root;
}

std::variant<CurveDocument, QString> documentFromJson(const QJsonObject &root,
                                                      const QLocale &reader)
{
    std::optional<QString> refusal;
    const Reader top(root, {}, refusal);
    if (root.value(name(key::format)) != QJsonValue(QLatin1StringView(formatName)))
        return QStringLiteral("non è un documento di Cinquepunti");
    const double version = top.number(key::version);
    if (refusal)
        return *refusal;
    if (version > documentVersion)
        return QStringLiteral("è stato scritto da una versione più recente di Cinquepunti");
    if (version != documentVersion)
        top.invalid(key::version);

    CurveDocument document;
    if (top.has(key::workFile))
        document.workFile = top.text(key::workFile);
    document.calibrationRatio = top.number(key::calibrationRatio);
    if (document.calibrationRatio <= 0)
        top.invalid(key::calibrationRatio);
    const std::vector<Reader> points = top.objects(key::basePoints, pointNames);
    for (std::size_t i = 0; i < points.size(); ++i)
        pointFromJson(points[i], document, i);
    document.editor = editorFromJson(top.object(key::editor));
    if (refusal)
        return *refusal;
    // Documents from before the writer's locale was kept were read in the reader's.
    if (top.has(key::locale))
        retellNumbers(document, QLocale(top.text(key::locale)), reader);
    return document;
}

} // namespace

QByteArray documentJson(const CurveDocument &document, const QLocale &writer)
{
    return QJsonDocument(toJson(document, writer)).toJson(QJsonDocument::Indented);
}

std::variant<CurveDocument, QString> parseDocument(const QByteArray &json, const QLocale &reader)
{
    if (json.trimmed().isEmpty())
        return QStringLiteral("il file è vuoto");
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("il file non è un documento JSON valido (carattere %1)")
            .arg(error.offset);
    if (!parsed.isObject())
        return QStringLiteral("non è un documento di Cinquepunti");
    return documentFromJson(parsed.object(), reader);
}

std::variant<CurveDocument, QString> readDocument(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return QStringLiteral("è una cartella");
    if (!info.exists())
        return QStringLiteral("il file non esiste");
    if (info.size() > largestDocument)
        return QStringLiteral("il file è troppo grande per essere un documento di Cinquepunti");
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.error() == QFileDevice::PermissionsError ? QStringLiteral("permesso negato")
                                                             : file.errorString();
    // A special file may say it is empty and never end: read no more than a document can be.
    const QByteArray json = file.read(largestDocument + 1);
    if (json.size() > largestDocument)
        return QStringLiteral("il file è troppo grande per essere un documento di Cinquepunti");
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return parseDocument(json);
}

QString documentFileName(const QString &fileName)
{
    const QString suffix = QStringLiteral(".") + QLatin1StringView(documentExtension);
    return fileName.endsWith(suffix, Qt::CaseInsensitive) ? fileName : fileName + suffix;
}
