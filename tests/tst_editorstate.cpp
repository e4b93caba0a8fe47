#include "editor/curve/editorstate.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(Variant)
Q_DECLARE_METATYPE(SegmentValues)

class tst_EditorState : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void variantRules_data();
    void variantRules();
    void copyOnRedraw();
    void gridRowTexts_data();
    void gridRowTexts();
    void incrementCheck_data();
    void incrementCheck();
};

void tst_EditorState::variantRules_data()
{
    QTest::addColumn<Variant>("value");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text"); // empty only when unset

    QTest::newRow("unset") << Variant() << 0.0 << QString();
    QTest::newRow("integer 0") << Variant::integer(0) << 0.0 << "0";
    QTest::newRow("bar position") << Variant::integer(-120) << -120.0 << "-120";
    QTest::newRow("single") << Variant::single(425.f) << 425.0 << "425";
    QTest::newRow("decimal comma") << Variant::real(2.5) << 2.5 << "2,5";
    QTest::newRow("15 digits") << Variant::real(0.1 + 0.2) << 0.1 + 0.2 << "0,3";
}

void tst_EditorState::variantRules()
{
    QFETCH(Variant, value);
    QFETCH(double, number);
    QFETCH(QString, text);

    QCOMPARE(value.toDouble(), number);
    QCOMPARE(value.toText(), text);
    QCOMPARE(value.isUnset(), text.isEmpty());
}

void tst_EditorState::copyOnRedraw()
{
    SegmentTable table;
    // SPTO unset: the horizontal bar was never moved.
    const CurrentParameters current{Variant(), Variant::integer(37), Variant::real(-2),
                                    Variant::integer(1), Variant::real(5)};
    table.copyCurrent(Segment::BC, current);
    QCOMPARE(table.SPXBC.kind(), Variant::Kind::Unset);
    QCOMPARE(table.SPYBC, Variant::integer(37));
    QCOMPARE(table.AVXBC, Variant::real(-2));
    QCOMPARE(table.AVYBC, Variant::integer(1));

    table.copyCurrent(Segment::DE, {Variant::integer(5), {}, {}, {}, {}});
    QCOMPARE(table.SPXDE, Variant::integer(5));
    QCOMPARE(table.row(Segment::BC).SPY, Variant::integer(37));
    for (Segment untouched : {Segment::AB, Segment::CD}) {
        const SegmentValues row = table.row(untouched);
        QVERIFY(row.SPX.isUnset() && row.SPY.isUnset() && row.AVX.isUnset() && row.AVY.isUnset());
    }
}

void tst_EditorState::gridRowTexts_data()
{
    QTest::addColumn<SegmentValues>("values");
    QTest::addColumn<QStringList>("texts"); // SP.V, SP.O, ALF.V, ALF.O

    QTest::newRow("never selected") << SegmentValues{} << QStringList{"0", "0", "1", "1"};
    QTest::newRow("bars never moved")
        << SegmentValues{Variant(), Variant(), Variant::real(1), Variant::real(2.5)}
        << QStringList{"0", "0", "2,5", "1"};
    QTest::newRow("columns cross") << SegmentValues{Variant::integer(-120), Variant::integer(37),
                                                    Variant::real(-2), Variant::integer(1)}
                                   << QStringList{"37", "-120", "1", "-2"};
}

void tst_EditorState::gridRowTexts()
{
    QFETCH(SegmentValues, values);
    QFETCH(QStringList, texts);

    const GridRow row = gridRow(values);
    QCOMPARE((QStringList{row.SPV, row.SPO, row.ALFV, row.ALFO}), texts);
}

void tst_EditorState::incrementCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bounded");
    QTest::addColumn<Variant>("value");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("replacement");

    const Variant one = Variant::integer(1);
    const QString notANumber = QStringLiteral("AVX non è un numero");
    const QString zero = QStringLiteral("Non è ammesso 0 ");
    const QString tooLarge = QStringLiteral("Il massimo ammesso è 1000");
    QTest::newRow("5") << "5" << true << Variant::real(5) << ""
                       << "";
    QTest::newRow("blanks around") << " -2,5 " << false << Variant::real(-2.5) << ""
                                   << "";
    QTest::newRow("empty") << "" << false << one << notANumber << "1";
    QTest::newRow("blanks") << "   " << false << one << notANumber << "1";
    QTest::newRow("digit and letter") << "3x" << false << one << notANumber << "1";
    QTest::newRow("0") << "0" << false << one << zero << "1";
    QTest::newRow("-0") << "-0" << false << one << zero << "1";
    QTest::newRow("0,00") << "0,00" << false << one << zero << "1";
    QTest::newRow("1000") << "1000" << true << Variant::real(1000) << ""
                          << "";
    QTest::newRow("1000,5") << "1000,5" << true << Variant::real(1000) << tooLarge << "1000";
    QTest::newRow("1e300") << "1e300" << true << Variant::real(1000) << tooLarge << "1000";
    QTest::newRow("-5000: no lower bound") << "-5000" << true << Variant::real(-5000) << ""
                                           << "";
    QTest::newRow("5000 where unbounded") << "5000" << false << Variant::real(5000) << ""
                                          << "";
}

void tst_EditorState::incrementCheck()
{
    QFETCH(QString, text);
    QFETCH(bool, bounded);
    QFETCH(Variant, value);
    QFETCH(QString, message);
    QFETCH(QString, replacement);

    const IncrementCheck check =
        checkIncrement(text, "AVX", bounded ? std::optional(maximumPointsIncrement) : std::nullopt);
    QCOMPARE(check.value, value);
    QCOMPARE(check.message, message);
    QCOMPARE(check.replacement, replacement);
}

QTEST_MAIN(tst_EditorState)
#include "tst_editorstate.moc"
