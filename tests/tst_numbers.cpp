#include "common/numbers.h"

#include <QTest>

#include <cmath>
#include <optional>

Q_DECLARE_METATYPE(std::optional<double>)

// Number entry and number text under the user's locale, set as the default locale.
class tst_Numbers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_systemLocale = QLocale(); }
    void cleanup() { QLocale::setDefault(m_systemLocale); }

    void entry_data();
    void entry();
    void text_data();
    void text();
    void textReadsBack_data();
    void textReadsBack();

private:
    QLocale m_systemLocale;
};

void tst_Numbers::entry_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<std::optional<double>>("value");

    const std::optional<double> no;
    QTest::newRow("it whole") << "it_IT"
                              << "15" << std::optional(15.0);
    QTest::newRow("it minus") << "it_IT"
                              << "-7" << std::optional(-7.0);
    QTest::newRow("it plus") << "it_IT"
                             << "+3" << std::optional(3.0);
    QTest::newRow("it decimal comma") << "it_IT"
                                      << "12,5" << std::optional(12.5);
    QTest::newRow("it comma before three digits") << "it_IT"
                                                  << "1,000" << std::optional(1.0);
    QTest::newRow("it grouping") << "it_IT"
                                 << "1.000" << std::optional(1000.0);
    QTest::newRow("it grouping and decimals") << "it_IT"
                                              << "1.234,5" << std::optional(1234.5);
    QTest::newRow("it ungrouped with decimals") << "it_IT"
                                                << "1234,5" << std::optional(1234.5);
    QTest::newRow("it blanks around") << "it_IT"
                                      << "  12,5 " << std::optional(12.5);
    QTest::newRow("it tabs around") << "it_IT"
                                    << "\t-20\t" << std::optional(-20.0);
    QTest::newRow("it exponent") << "it_IT"
                                 << "1e3" << std::optional(1000.0);
    QTest::newRow("it negative exponent") << "it_IT"
                                          << "2,5E-2" << std::optional(0.025);
    QTest::newRow("it huge") << "it_IT"
                             << "1e308" << std::optional(1e308);
    QTest::newRow("it huge negative") << "it_IT"
                                      << "-1e308" << std::optional(-1e308);
    QTest::newRow("it empty") << "it_IT"
                              << "" << no;
    QTest::newRow("it blanks only") << "it_IT"
                                    << "   " << no;
    QTest::newRow("it letters") << "it_IT"
                                << "abc" << no;
    QTest::newRow("it trailing letter") << "it_IT"
                                        << "12a" << no;
    QTest::newRow("it inner blank") << "it_IT"
                                    << "1 2" << no;
    QTest::newRow("it sign apart") << "it_IT"
                                   << "- 7" << no;
    QTest::newRow("it two signs") << "it_IT"
                                  << "--7" << no;
    QTest::newRow("it decimal point") << "it_IT"
                                      << "1.5" << no;
    QTest::newRow("it exponent without digits") << "it_IT"
                                                << "1e" << no;
    QTest::newRow("it hexadecimal") << "it_IT"
                                    << "0x10" << no;
    QTest::newRow("it inf") << "it_IT"
                            << "inf" << no;
    QTest::newRow("it minus inf") << "it_IT"
                                  << "-inf" << no;
    QTest::newRow("it nan") << "it_IT"
                            << "nan" << no;
    QTest::newRow("it infinity") << "it_IT"
                                 << "infinity" << no;
    QTest::newRow("it overflow") << "it_IT"
                                 << "1e400" << no;
    QTest::newRow("it negative overflow") << "it_IT"
                                          << "-1e400" << no;

    QTest::newRow("en decimal point") << "en_US"
                                      << "12.5" << std::optional(12.5);
    QTest::newRow("en point before three digits") << "en_US"
                                                  << "1.000" << std::optional(1.0);
    QTest::newRow("en grouping") << "en_US"
                                 << "1,000" << std::optional(1000.0);
    QTest::newRow("en grouping and decimals") << "en_US"
                                              << "1,234.5" << std::optional(1234.5);
    QTest::newRow("en blanks around") << "en_US"
                                      << " -0.5 " << std::optional(-0.5);
    QTest::newRow("en exponent") << "en_US"
                                 << "2.5e-2" << std::optional(0.025);
    QTest::newRow("en decimal comma") << "en_US"
                                      << "12,5" << no;
    QTest::newRow("en inf") << "en_US"
                            << "inf" << no;
    QTest::newRow("en nan") << "en_US"
                            << "nan" << no;
    QTest::newRow("en overflow") << "en_US"
                                 << "1e400" << no;
}

void tst_Numbers::entry()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(std::optional<double>, value);
    QLocale::setDefault(QLocale(locale));

    const std::optional<double> parsed = parseNumber(typed);
    QCOMPARE(parsed.has_value(), value.has_value());
    if (value)
        QCOMPARE(*parsed, *value);
}

void tst_Numbers::text_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("it zero") << "it_IT" << 0.0 << "0";
    QTest::newRow("it negative zero") << "it_IT" << -0.0 << "0";
    QTest::newRow("it whole") << "it_IT" << 15.0 << "15";
    QTest::newRow("it negative") << "it_IT" << -20.0 << "-20";
    QTest::newRow("it fraction") << "it_IT" << 12.5 << "12,5";
    QTest::newRow("it leading zero") << "it_IT" << 0.51 << "0,51";
    QTest::newRow("it no grouping") << "it_IT" << 1234567.5 << "1234567,5";
    QTest::newRow("it fifteen digits") << "it_IT" << 1.0 / 3 << "0,333333333333333";
    QTest::newRow("it binary noise rounded") << "it_IT" << 0.1 + 0.2 << "0,3";
    QTest::newRow("it large") << "it_IT" << 1e20 << "1E+20";
    QTest::newRow("it small") << "it_IT" << 1e-5 << "1E-05";

    QTest::newRow("en fraction") << "en_US" << 12.5 << "12.5";
    QTest::newRow("en leading zero") << "en_US" << -0.75 << "-0.75";
    QTest::newRow("en no grouping") << "en_US" << 1234567.5 << "1234567.5";
    QTest::newRow("en whole") << "en_US" << 1000.0 << "1000";
}

void tst_Numbers::text()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));

    QCOMPARE(formatNumber(value), text);
}

void tst_Numbers::textReadsBack_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *locale : {"it_IT", "en_US", "de_DE", "fr_FR"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

void tst_Numbers::textReadsBack()
{
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));

    // Fifteen significant digits: the text reads back within that precision.
    for (double value : {0.51, -12.5, 1234567.25, 1.0 / 3, -2.0 / 7, 1e-7, 6.02e23, 1e308}) {
        const QString text = formatNumber(value);
        const std::optional<double> back = parseNumber(text);
        QVERIFY2(back.has_value(), qPrintable(text));
        QVERIFY2(std::abs(*back - value) <= std::abs(value) * 1e-14, qPrintable(text));
    }
}

QTEST_MAIN(tst_Numbers)
#include "tst_numbers.moc"
