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

namespace {

// Far beyond any document (a few kilobytes), and small enough to read at once.
constexpr qint64 largestDocument = 4 * 1024 * 1024;

const char *const pointNames[] = {"A", "B", "C", "D", "E"};
const char *const kindNames[] = {"unset", "integer", "single", "double"};

bool isInt16(double n)
{
    return n == std::trunc(n) && n >= -32768 && n <= 32767;
}

QJsonValue variantJson(const Variant &value)
{
    QJsonObject object{{"kind", kindNames[static_cast<int>(value.kind())]}};
    if (!value.isUnset())
        object.insert("value", value.toDouble());
    return object;
}

QJsonArray textsJson(const auto &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(text);
    return array;
}

// A refusal, with what it is about.
struct Refused
{
    QString reason;
};

// Reads the fields of one JSON object, naming each by its path ("editor.bars.vertical") when
// it refuses it.
class Fields
{
public:
    Fields(const QJsonObject &object, QString path) : m_object(object), m_path(std::move(path)) {}

    bool has(const char *name) const { return m_object.contains(QLatin1StringView(name)); }
    QJsonValue value(const char *name) const
    {
        const QJsonValue value = m_object.value(QLatin1StringView(name));
        if (value.isUndefined())
            throw Refused{QStringLiteral("manca il campo «%1»").arg(pathOf(name))};
        return value;
    }
    [[noreturn]] void invalid(const char *name) const
    {
        throw Refused{QStringLiteral("il campo «%1» non è valido").arg(pathOf(name))};
    }
    Fields object(const char *name) const
    {
        const QJsonValue v = value(name);
        if (!v.isObject())
            invalid(name);
        return Fields(v.toObject(), pathOf(name));
    }
    QJsonArray array(const char *name, qsizetype size) const
    {
        const QJsonValue v = value(name);
        if (!v.isArray() || v.toArray().size() != size)
            invalid(name);
        return v.toArray();
    }
    QString text(const char *name) const
    {
        const QJsonValue v = value(name);
        if (!v.isString())
            invalid(name);
        return v.toString();
    }
    double number(const char *name) const
    {
        const QJsonValue v = value(name);
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            invalid(name);
        return v.toDouble();
    }
    int integer(const char *name, int limit) const
    {
        const double n = number(name);
        if (n != std::trunc(n) || std::abs(n) > limit)
            invalid(name);
        return static_cast<int>(n);
    }
    std::array<QString, 4> texts4(const char *name) const
    {
        const QJsonArray a = array(name, 4);
        std::array<QString, 4> texts;
        for (qsizetype i = 0; i < 4; ++i) {
            if (!a[i].isString())
                invalid(name);
            texts[static_cast<std::size_t>(i)] = a[i].toString();
        }
        return texts;
    }
    // A value of the given kinds; displacements are whole and within limit, increments
    // anything the checks accept (not 0, not beyond maximum).
    Variant variant(const char *name, bool displacement, double limit) const
    {
        const Fields v = object(name);
        const QString kind = v.text("kind");
        if (kind == u"unset")
            return {};
        const double n = v.number("value");
        const bool inRange =
            displacement ? (n == std::trunc(n) && std::abs(n) <= limit) : (n != 0 && n <= limit);
        if (!inRange)
            throw Refused{QStringLiteral("il valore di «%1» è fuori dall'intervallo ammesso")
                              .arg(pathOf(name))};
        if (kind == u"integer" && isInt16(n))
            return Variant::integer(static_cast<std::int16_t>(n));
        if (kind == u"single" && !displacement && double(float(n)) == n)
            return Variant::single(float(n));
        if (kind == u"double" && !displacement)
            return Variant::real(n);
        invalid(name);
    }

private:
    QString pathOf(const char *name) const
    {
        return m_path.isEmpty() ? QString::fromLatin1(name)
                                : m_path + u'.' + QString::fromLatin1(name);
    }

    QJsonObject m_object;
    QString m_path;
};

std::optional<Segment> segmentNamed(const QString &name)
{
    for (Segment segment : segments)
        if (name == QLatin1StringView(pointNames[int(segment)]) +
                        QLatin1StringView(pointNames[int(segment) + 1]))
            return segment;
    return std::nullopt;
}

QString segmentKey(Segment segment)
{
    return QString::fromLatin1(pointNames[int(segment)]) +
           QString::fromLatin1(pointNames[int(segment) + 1]);
}

// The table's four values of a segment, by reference.
std::array<Variant *, 4> rowOf(SegmentTable &table, Segment segment)
{
    switch (segment) {
    case Segment::AB:
        return {&table.SPXAB, &table.SPYAB, &table.AVXAB, &table.AVYAB};
    case Segment::BC:
        return {&table.SPXBC, &table.SPYBC, &table.AVXBC, &table.AVYBC};
    case Segment::CD:
        return {&table.SPXCD, &table.SPYCD, &table.AVXCD, &table.AVYCD};
    case Segment::DE:
        break;
    }
    return {&table.SPXDE, &table.SPYDE, &table.AVXDE, &table.AVYDE};
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

CurveDocument parse(const QJsonObject &root, const QLocale &reader)
{
    const Fields top(root, {});
    const QJsonValue format = top.value("format");
    if (format != QJsonValue(QStringLiteral("cinquepunti")))
        throw Refused{QStringLiteral("non è un documento di Cinquepunti")};
    const double version = top.number("version");
    if (version > documentVersion)
        throw Refused{QStringLiteral("è stato scritto da una versione più recente di Cinquepunti")};
    if (version != documentVersion)
        top.invalid("version");

    CurveDocument document;
    if (root.contains(QLatin1StringView("workFile")))
        document.workFile = top.text("workFile");
    document.calibrationRatio = top.number("calibrationRatio");
    if (document.calibrationRatio <= 0)
        top.invalid("calibrationRatio");

    const QJsonArray points = top.array("basePoints", 5);
    for (std::size_t i = 0; i < 5; ++i) {
        if (!points[qsizetype(i)].isObject())
            top.invalid("basePoints");
        const Fields point(points[qsizetype(i)].toObject(),
                           QStringLiteral("basePoints.") + QLatin1StringView(pointNames[i]));
        // Coordinates are whatever the base points window accepted: any finite number.
        auto coordinate = [&](const char *name) {
            const Fields v = point.object(name);
            const QString kind = v.text("kind");
            if (kind == u"unset")
                return Variant();
            const double n = v.number("value");
            if (kind == u"integer" && isInt16(n))
                return Variant::integer(static_cast<std::int16_t>(n));
            if (kind == u"single" && double(float(n)) == n)
                return Variant::single(float(n));
            if (kind == u"double")
                return Variant::real(n);
            v.invalid("value");
        };
        document.points.X[i] = coordinate("x");
        document.points.Y[i] = coordinate("y");
        document.pointTexts[2 * i] = point.text("xText");
        document.pointTexts[2 * i + 1] = point.text("yText");
    }

    const Fields editor = top.object("editor");
    EditorSnapshot &state = document.editor;
    const Fields bars = editor.object("bars");
    state.horizontalBar = bars.integer("horizontal", horizontalBarLimit);
    state.verticalBar = bars.integer("vertical", verticalBarLimit);
    const Fields current = editor.object("current");
    state.current.SPTO = current.variant("SPTO", true, horizontalBarLimit);
    state.current.SPTV = current.variant("SPTV", true, verticalBarLimit);
    state.current.AVX = current.variant("AVX", false, HUGE_VAL);
    state.current.AVY = current.variant("AVY", false, HUGE_VAL);
    state.current.INST = current.variant("INST", false, maximumPointsIncrement);
    if (state.current.INST.isUnset())
        current.invalid("INST");
    const Fields texts = editor.object("texts");
    state.Text6 = texts.text("horizontalDisplacement");
    state.Text7 = texts.text("verticalDisplacement");
    state.Text9 = texts.text("pointsIncrement");
    state.Text10 = texts.text("verticalAlfaIncrement");
    state.Text11 = texts.text("horizontalAlfaIncrement");
    const QJsonValue selected = editor.value("selectedSegment");
    if (!selected.isNull()) {
        state.selected = segmentNamed(selected.toString());
        if (!selected.isString() || !state.selected)
            editor.invalid("selectedSegment");
    }
    const Fields table = editor.object("segments");
    for (Segment segment : segments) {
        const QByteArray key = segmentKey(segment).toLatin1();
        const Fields row = table.object(key.constData());
        const std::array<Variant *, 4> values = rowOf(state.table, segment);
        *values[0] = row.variant("SPX", true, horizontalBarLimit);
        *values[1] = row.variant("SPY", true, verticalBarLimit);
        *values[2] = row.variant("AVX", false, HUGE_VAL);
        *values[3] = row.variant("AVY", false, HUGE_VAL);
        state.grid[std::size_t(segment)] = row.texts4("grid");
    }
    // Documents from before the true scale was kept have the default one.
    state.trueScale = defaultTrueScale();
    if (editor.has("trueScale")) {
        const Fields scale = editor.object("trueScale");
        TrueScale &kept = state.trueScale;
        kept.millimetresPerUnit = scale.number("millimetresPerUnit");
        kept.overlap = scale.number("overlap");
        const std::optional<QPageSize::PageSizeId> paper = paperOfKey(scale.text("paper"));
        if (!paper)
            scale.invalid("paper");
        kept.paper = *paper;
        if (!isValid(kept))
            editor.invalid("trueScale");
    }
    // Documents from before the writer's locale was kept were read in the reader's.
    if (top.has("locale")) {
        const QLocale writer(top.text("locale"));
        const auto retell = [&](QString &text) { text = inReaderLocale(text, writer, reader); };
        std::ranges::for_each(document.pointTexts, retell);
        for (QString *text :
             {&state.Text6, &state.Text7, &state.Text9, &state.Text10, &state.Text11})
            retell(*text);
        for (std::array<QString, 4> &row : state.grid)
            std::ranges::for_each(row, retell);
    }
    return document;
}

} // namespace

QByteArray documentJson(const CurveDocument &document, const QLocale &writer)
{
    QJsonArray points;
    for (std::size_t i = 0; i < 5; ++i)
        points.append(QJsonObject{{"name", pointNames[i]},
                                  {"x", variantJson(document.points.X[i])},
                                  {"y", variantJson(document.points.Y[i])},
                                  {"xText", document.pointTexts[2 * i]},
                                  {"yText", document.pointTexts[2 * i + 1]}});
    const EditorSnapshot &state = document.editor;
    QJsonObject table;
    for (Segment segment : segments) {
        const SegmentValues row = state.table.row(segment);
        table.insert(segmentKey(segment),
                     QJsonObject{{"SPX", variantJson(row.SPX)},
                                 {"SPY", variantJson(row.SPY)},
                                 {"AVX", variantJson(row.AVX)},
                                 {"AVY", variantJson(row.AVY)},
                                 {"grid", textsJson(state.grid[std::size_t(segment)])}});
    }
    const QJsonObject editor{
        {"bars", QJsonObject{{"horizontal", state.horizontalBar}, {"vertical", state.verticalBar}}},
        {"current", QJsonObject{{"SPTO", variantJson(state.current.SPTO)},
                                {"SPTV", variantJson(state.current.SPTV)},
                                {"AVX", variantJson(state.current.AVX)},
                                {"AVY", variantJson(state.current.AVY)},
                                {"INST", variantJson(state.current.INST)}}},
        {"texts", QJsonObject{{"horizontalDisplacement", state.Text6},
                              {"verticalDisplacement", state.Text7},
                              {"pointsIncrement", state.Text9},
                              {"verticalAlfaIncrement", state.Text10},
                              {"horizontalAlfaIncrement", state.Text11}}},
        {"selectedSegment",
         state.selected ? QJsonValue(segmentKey(*state.selected)) : QJsonValue(QJsonValue::Null)},
        {"segments", table},
        {"trueScale", QJsonObject{{"millimetresPerUnit", state.trueScale.millimetresPerUnit},
                                  {"paper", paperKey(state.trueScale.paper)},
                                  {"overlap", state.trueScale.overlap}}}};
    QJsonObject root{{"format", "cinquepunti"}, {"version", documentVersion},
                     {"locale", writer.name()}, {"calibrationRatio", document.calibrationRatio},
                     {"basePoints", points},    {"editor", editor}};
    if (!document.workFile.isEmpty())
        root.insert("workFile", document.workFile);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
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
    try {
        return parse(parsed.object(), reader);
    } catch (const Refused &refused) {
        return refused.reason;
    }
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
