#include "formats/document.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

// The curve document: what it writes comes back exactly, and anything else is refused with a
// reason.
class tst_Document : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void roundTrip();
    void refused_data();
    void refused();
    void refusedFiles();
};

namespace {

// A work with every kind of value, unset ones, awkward digits and texts.
CurveDocument sample()
{
    CurveDocument d;
    d.pointTexts = {"0", "100", "1,5", "x", "", "-3", "1e300", "7", "\"8\"", "ü 9"};
    d.points.X = {Variant::real(0), Variant::real(1.5), Variant(), Variant::real(1e300),
                  Variant::real(0.1 + 0.2)};
    d.points.Y = {Variant::integer(-32768), Variant::single(2.5f), Variant::real(-3),
                  Variant::real(7), Variant()};
    d.editor.current = {Variant::integer(-1000), Variant(), Variant::real(0.1 + 0.2),
                        Variant::single(-2.25f), Variant::real(1000)};
    d.editor.table.SPXAB = Variant::integer(1000);
    d.editor.table.SPYBC = Variant::integer(-500);
    d.editor.table.AVXCD = Variant::real(1e-300);
    d.editor.table.AVYDE = Variant::integer(3);
    d.editor.horizontalBar = -1000;
    d.editor.verticalBar = 500;
    d.editor.Text6 = "-1000";
    d.editor.Text9 = "typed, not drawn";
    d.editor.grid[3] = {"a", "b", "c", "d"};
    d.editor.selected = Segment::DE;
    d.editor.trueScale = {0.1 + 0.2, QPageSize::Letter, 0, 0.15, OffsetSide::Both};
    d.calibrationRatio = 0.55 + 1e-12;
    return d;
}

QJsonObject sampleJson()
{
    return QJsonDocument::fromJson(documentJson(sample())).object();
}

// The sample with one value at a path ("editor.bars.vertical") replaced, or removed.
QByteArray changed(const QString &path, const QJsonValue &value)
{
    const QStringList keys = path.split(u'.');
    std::function<QJsonObject(QJsonObject, qsizetype)> set = [&](QJsonObject object, qsizetype i) {
        if (i + 1 == keys.size()) {
            if (value.isUndefined())
                object.remove(keys[i]);
            else
                object[keys[i]] = value;
        } else {
            object[keys[i]] = set(object[keys[i]].toObject(), i + 1);
        }
        return object;
    };
    return QJsonDocument(set(sampleJson(), 0)).toJson();
}

QJsonObject variantJson(const char *kind, double value)
{
    return {{"kind", kind}, {"value", value}};
}

} // namespace

void tst_Document::roundTrip()
{
    const QByteArray json = documentJson(sample());
    const auto parsed = parseDocument(json);
    QVERIFY(std::holds_alternative<CurveDocument>(parsed));
    QVERIFY(std::get<CurveDocument>(parsed) == sample());
    QCOMPARE(sampleJson()["format"].toString(), QStringLiteral("cinquepunti"));
    QCOMPARE(sampleJson()["version"].toInt(), 1);
    QVERIFY(json.contains("0.30000000000000004")); // every digit of a double

    // A document from before the scale was kept has the default one.
    const auto older = parseDocument(changed("editor.trueScale", QJsonValue::Undefined));
    QVERIFY(std::get<CurveDocument>(older).editor.trueScale == defaultTrueScale());
    // One from before the offset line has none.
    QByteArray withoutOffset = changed("editor.trueScale.offsetSide", QJsonValue::Undefined);
    QJsonObject beforeOffsets = QJsonDocument::fromJson(withoutOffset).object();
    QJsonObject editor = beforeOffsets["editor"].toObject(), scale = editor["trueScale"].toObject();
    scale.remove("offsetMillimetres");
    editor["trueScale"] = scale;
    beforeOffsets["editor"] = editor;
    const TrueScale none =
        std::get<CurveDocument>(parseDocument(QJsonDocument(beforeOffsets).toJson()))
            .editor.trueScale;
    QVERIFY(none.offsetMillimetres == 0 && none.offsetSide == OffsetSide::Left);
    QCOMPARE(none.millimetresPerUnit, 0.1 + 0.2);

    // Across locales the typed numbers come back as the reader writes them, the same values;
    // texts that are no numbers stay, and so do those both locales read alike.
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const auto &[writer, reader, written, read] :
         {std::tuple{italian, english, "1,5", "1.5"},
          {english, italian, "1.5", "1,5"},
          {english, italian, "1,000", "1000"},
          {italian, english, "1e300", "1e300"},
          {italian, english, "typed, not drawn", "typed, not drawn"}}) {
        CurveDocument typed = sample();
        typed.editor.Text10 = typed.pointTexts[3] = typed.editor.grid[1][2] = written;
        const CurveDocument opened =
            std::get<CurveDocument>(parseDocument(documentJson(typed, writer), reader));
        QCOMPARE(opened.editor.Text10, QString::fromLatin1(read));
        QCOMPARE(opened.pointTexts[3], QString::fromLatin1(read));
        QCOMPARE(opened.editor.grid[1][2], QString::fromLatin1(read));
        QCOMPARE(opened.editor.Text9, typed.editor.Text9);
        QCOMPARE(opened.pointTexts[1], QStringLiteral("100"));
    }
}

void tst_Document::refused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("reason");
    const QByteArray good = documentJson(sample());
    QTest::newRow("empty") << QByteArray("  \n") << "il file è vuoto";
    QTest::newRow("not JSON") << QByteArray("PNG\x89") << "non è un documento JSON valido";
    QTest::newRow("truncated") << good.left(good.size() / 2) << "non è un documento JSON valido";
    QTest::newRow("an array") << QByteArray("[1, 2]") << "non è un documento di Cinquepunti";
    QTest::newRow("another format")
        << changed("format", "svg") << "non è un documento di Cinquepunti";
    QTest::newRow("newer") << changed("version", 2) << "versione più recente di Cinquepunti";
    QTest::newRow("version 0") << changed("version", 0) << "«version» non è valido";
    QTest::newRow("missing") << changed("editor.bars", QJsonValue::Undefined)
                             << "manca il campo «editor.bars»";
    QTest::newRow("mistyped") << changed("editor.bars.vertical", "0")
                              << "«editor.bars.vertical» non è valido";
    QTest::newRow("bar beyond") << changed("editor.bars.vertical", 501)
                                << "«editor.bars.vertical» non è valido";
    QTest::newRow("INST 0") << changed("editor.current.INST", variantJson("double", 0))
                            << "«editor.current.INST» è fuori dall'intervallo";
    QTest::newRow("INST too big") << changed("editor.current.INST", variantJson("double", 1001))
                                  << "«editor.current.INST» è fuori dall'intervallo";
    QTest::newRow("displacement halved")
        << changed("editor.segments.AB.SPX", variantJson("integer", 0.5))
        << "«editor.segments.AB.SPX» è fuori dall'intervallo";
    QTest::newRow("kind unknown") << changed("editor.current.AVX", variantJson("long", 2))
                                  << "«editor.current.AVX» non è valido";
    QTest::newRow("segment XY") << changed("editor.selectedSegment", "XY")
                                << "«editor.selectedSegment» non è valido";
    QTest::newRow("ratio 0") << changed("calibrationRatio", 0) << "«calibrationRatio» non è valido";
    QTest::newRow("scale 0") << changed("editor.trueScale.millimetresPerUnit", 0)
                             << "«editor.trueScale» non è valido";
    QTest::newRow("paper B7") << changed("editor.trueScale.paper", "B7")
                              << "«editor.trueScale.paper» non è valido";
    QTest::newRow("offset 51 mm") << changed("editor.trueScale.offsetMillimetres", 51)
                                  << "«editor.trueScale» non è valido";
    QTest::newRow("offset upwards") << changed("editor.trueScale.offsetSide", "up")
                                    << "«editor.trueScale.offsetSide» non è valido";
}

void tst_Document::refused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, reason);
    const auto parsed = parseDocument(json);
    QVERIFY(std::holds_alternative<QString>(parsed));
    QVERIFY2(std::get<QString>(parsed).contains(reason), qPrintable(std::get<QString>(parsed)));
}

void tst_Document::refusedFiles()
{
    QTemporaryDir dir;
    QFile large(dir.filePath("grande.cinquepunti"));
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(64 << 20));
    large.close();
    for (const auto &[name, reason] : {std::pair{dir.path(), "è una cartella"},
                                       {dir.filePath("manca.cinquepunti"), "il file non esiste"},
                                       {large.fileName(), "troppo grande"}}) {
        const auto read = readDocument(name);
        QVERIFY(std::holds_alternative<QString>(read));
        QVERIFY2(std::get<QString>(read).contains(QString::fromUtf8(reason)), reason);
    }
}

QTEST_APPLESS_MAIN(tst_Document)
#include "tst_document.moc"
