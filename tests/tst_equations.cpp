#include "formats/csv.h"
#include "formats/equations.h"
#include "formats/exactnumber.h"
#include "testcurves.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(Curve)

// The equations for GeoGebra and Desmos, read and evaluated by a program of their own.
class tst_Equations : public QObject
{
    Q_OBJECT

private slots:
    // Under Italian settings, where numbers shown to the user have a decimal comma.
    void init() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void plainNumbers_data();
    void plainNumbers();
    void evaluatedElsewhere_data();
    void evaluatedElsewhere();
};

void tst_Equations::plainNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << -45.0 << "-45";
    QTest::newRow("a tenth") << 0.1 << "0.1";
    QTest::newRow("every digit") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("large, no exponent") << 1e21 << "1000000000000000000000";
    QTest::newRow("small, no exponent") << -2.5e-7 << "-0.00000025";
    QTest::newRow("minus zero") << -0.0 << "0";
}

void tst_Equations::plainNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(plainNumber(value), text);
    QCOMPARE(text.toDouble(), value);
}

void tst_Equations::evaluatedElsewhere_data()
{
    QTest::addColumn<Curve>("curve");
    QTest::newRow("the default curve") << walkedCurve(defaultPoints);
    QTest::newRow("bent, fractional, negative")
        << walkedCurve({{{-15.25, 15}, {60.5, 70.125}, {140, -20.75}, {188.1, 40}, {150, 90}}},
                       {Bend{120, -45, 1.5, 0.3}, Bend{-850, 500, -2.5, 3},
                        Bend{0, 300, 0, 1.0 / 3}, Bend{33, -1, 7, 2}});
    QTest::newRow("plotted at INST 1")
        << walkedCurve(defaultPoints, {Bend{}, Bend{-200, 100, 2, 2}}, 1);
}

void tst_Equations::evaluatedElsewhere()
{
    QFETCH(Curve, curve);
    const QString python = QStringLiteral(CINQUEPUNTI_PYTHON);
    if (python.isEmpty())
        QSKIP("python3, which evaluates the equations, was not found");
    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    write("curva.csv", curveCsv(curve));
    QStringList points;
    for (QLineF chord : curve.chords)
        points << exactNumber(chord.x1()) << exactNumber(chord.y1());
    points << exactNumber(curve.chords[3].x2()) << exactNumber(curve.chords[3].y2());
    for (const auto &[target, text] :
         {std::pair{"geogebra", geoGebraText(curve)}, std::pair{"desmos", desmosText(curve)}}) {
        write(target, text.toUtf8());
        const QString answer =
            runPython(python, QStringList{CINQUEPUNTI_SOURCE_DIR "/equationcheck.py", target,
                                          dir.filePath(target), dir.filePath("curva.csv")} +
                                  points);
        QVERIFY2(answer.startsWith("ok"), qPrintable(target + (": " + answer + "\n" + text)));
    }
}

QTEST_APPLESS_MAIN(tst_Equations)
#include "tst_equations.moc"
