#include <QtTest>
#include <cmath>

#include "core/numtext.h"
#include "tst_core.h"

using namespace corvane;

void NumTextTest::numericValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign only") << "+" << 0.0;
    QTest::newRow("minus only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("negative") << "-5.3" << -5.3;
    QTest::newRow("leading blank") << " -5.3" << -5.3;
    QTest::newRow("blank after sign") << "- 5.3" << -5.3;
    QTest::newRow("blanks inside digits") << "1 4 060" << 14060.0;
    QTest::newRow("tab and blanks") << "\t  7" << 7.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("dBV readout") << "-23.5dBV" << -23.5;
    QTest::newRow("no leading digit") << ".5" << 0.5;
    QTest::newRow("negative fraction") << "-.5" << -0.5;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("second sign stops") << "5-3" << 5.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("exponent is not read") << "12e3" << 12.0;
    QTest::newRow("letters first") << "abc12" << 0.0;
    QTest::newRow("frequency answer digits") << "00014060000" << 14060000.0;
    QTest::newRow("menu number kept decimal") << "072" << 72.0;
    QTest::newRow("latin-1 byte stops") << QString::fromLatin1("3\xb0") << 3.0;
}

void NumTextTest::numericValue() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(corvane::numericValue(text), value);
}

void NumTextTest::isNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("integer") << "14060" << true;
    QTest::newRow("blanks around") << "  -5.3  " << true;
    QTest::newRow("plus") << "+2" << true;
    QTest::newRow("exponent") << "1.5E-2" << true;
    QTest::newRow("lower exponent") << "2e3" << true;
    QTest::newRow("exponent without digits") << "2e" << false;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("trailing point") << "5." << true;
    QTest::newRow("point only") << "." << false;
    QTest::newRow("sign only") << "-" << false;
    QTest::newRow("trailing letters") << "12abc" << false;
    QTest::newRow("box text 14060abc") << "14060abc" << false;
    QTest::newRow("blank inside") << "1 2" << false;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("two signs") << "+-1" << false;
    QTest::newRow("comma") << "1,5" << false;
}

void NumTextTest::isNumber() {
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(corvane::isNumber(text), number);
}

void NumTextTest::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("not a half") << 2.5000001 << 3.0;
    QTest::newRow("below a half") << -2.4999999 << -2.0;
}

void NumTextTest::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(corvane::roundHalfEven(value), rounded);
}

void NumTextTest::toInt16_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("result");
    QTest::newRow("32767") << 32767.0 << true << 32767;
    QTest::newRow("32767.4") << 32767.4 << true << 32767;
    QTest::newRow("32767.5 rounds to 32768") << 32767.5 << false << 0;
    QTest::newRow("32766.5 rounds down") << 32766.5 << true << 32766;
    QTest::newRow("-32768") << -32768.0 << true << -32768;
    QTest::newRow("-32768.5 rounds to even") << -32768.5 << true << -32768;
    QTest::newRow("-32769.5") << -32769.5 << false << 0;
    QTest::newRow("-0.5") << -0.5 << true << 0;
    QTest::newRow("2.5") << 2.5 << true << 2;
    QTest::newRow("nan") << std::nan("") << false << 0;
    QTest::newRow("infinity") << HUGE_VAL << false << 0;
}

void NumTextTest::toInt16() {
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, result);
    const auto converted = corvane::toInt16(value);
    QCOMPARE(converted.has_value(), fits);
    if (fits) QCOMPARE(int(*converted), result);
}

void NumTextTest::toInt32Limits() {
    QCOMPARE(*corvane::toInt32(2147483647.4), 2147483647);
    QVERIFY(!corvane::toInt32(2147483647.5).has_value());
    QCOMPARE(*corvane::toInt32(-2147483648.5), -2147483647 - 1);
    QCOMPARE(*corvane::toInt32(14060000.5), 14060000);
}

void NumTextTest::roundHalfEvenTo_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("rounded");
    // Differences of two dBV readings, rounded to two places.
    QTest::newRow("10.1 stays") << (-23.5 - -33.6) << 2 << 10.1;
    QTest::newRow("half to even down") << 0.125 << 2 << 0.12;
    QTest::newRow("half to even up") << 0.375 << 2 << 0.38;
    QTest::newRow("negative") << -0.5 << 2 << -0.5;
    QTest::newRow("no decimals") << 2.5 << 0 << 2.0;
}

void NumTextTest::roundHalfEvenTo() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, rounded);
    QCOMPARE(corvane::roundHalfEvenTo(value, decimals), rounded);
}

void NumTextTest::shortestText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.5") << 0.5 << "0.5";
    QTest::newRow("5") << 5.0 << "5";
    QTest::newRow("100") << 100.0 << "100";
    QTest::newRow("3500.5") << 3500.5 << "3500.5";
    QTest::newRow("14060") << 14060.0 << "14060";
    QTest::newRow("10.1") << 10.1 << "10.1";
    QTest::newRow("-0.5") << -0.5 << "-0.5";
    QTest::newRow("0") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3";
    QTest::newRow("difference of readings") << (-23.5 - -33.6) << "10.1";
    QTest::newRow("small, no exponent") << 1e-7 << "0.0000001";
    QTest::newRow("large, no exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("fifteen digits") << 0.123456789012345 << "0.123456789012345";
}

void NumTextTest::shortestText() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(corvane::shortestText(value), text);
}

void NumTextTest::singleText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("14060.123") << 14060.123 << "14060.12";
    QTest::newRow("14060") << 14060.0 << "14060";
    QTest::newRow("1 Hz steps") << 14060.001 << "14060";
    QTest::newRow("10 Hz steps") << 14060.01 << "14060.01";
    QTest::newRow("seven digits") << 1234567.8 << "1234568";
    QTest::newRow("0.1") << 0.1 << "0.1";
    QTest::newRow("negative") << -7.25 << "-7.25";
}

void NumTextTest::singleText() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(corvane::singleText(value), text);
}

void NumTextTest::formatFixed_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("#0.0 -23.5") << -23.5 << 1 << "-23.5";
    QTest::newRow("#0.0 -5.3") << -5.3 << 1 << "-5.3";
    QTest::newRow("#0.0 0") << 0.0 << 1 << "0.0";
    QTest::newRow("#0.0 10.1") << 10.1 << 1 << "10.1";
    QTest::newRow("#0.0 10") << 10.0 << 1 << "10.0";
    QTest::newRow("#0.0 0.25 half away") << 0.25 << 1 << "0.3";
    QTest::newRow("#0.0 -0.25 half away") << -0.25 << 1 << "-0.3";
    QTest::newRow("#0.0 -0.04 no minus zero") << -0.04 << 1 << "0.0";
    QTest::newRow("#0.0 0.5 digit before point") << 0.5 << 1 << "0.5";
    QTest::newRow("####0.000 14060.12") << 14060.12 << 3 << "14060.120";
    QTest::newRow("####0.000 single kHz") << double(float(14060.123)) << 3 << "14060.123";
    QTest::newRow("####0.000 0.5") << 0.5 << 3 << "0.500";
    QTest::newRow("##0.00 2.675") << 2.675 << 2 << "2.68";
    QTest::newRow("##0.00 1.005") << 1.005 << 2 << "1.01";
    QTest::newRow("##0.00 -0.125") << -0.125 << 2 << "-0.13";
    QTest::newRow("##0.00 1234.5") << 1234.5 << 2 << "1234.50";
}

void NumTextTest::formatFixed() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(corvane::formatFixed(value, decimals), text);
}

void NumTextTest::formatTextFixed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("number") << "-23.5"
                            << "-23.5";
    QTest::newRow("leading blank") << " -5.3"
                                   << "-5.3";
    QTest::newRow("zero readout") << "  0.0"
                                  << "0.0";
    QTest::newRow("whole number") << "10"
                                  << "10.0";
    QTest::newRow("exponent") << "1e2"
                              << "100.0";
    QTest::newRow("empty unchanged") << ""
                                     << "";
    QTest::newRow("letters unchanged") << "ERR"
                                       << "ERR";
    QTest::newRow("busy answer unchanged") << "?;"
                                           << "?;";
    QTest::newRow("trailing letters unchanged") << "12abc"
                                                << "12abc";
    QTest::newRow("blanks unchanged") << "  "
                                      << "  ";
}

void NumTextTest::formatTextFixed() {
    QFETCH(QString, text);
    QFETCH(QString, formatted);
    QCOMPARE(corvane::formatTextFixed(text, 1), formatted);
}

void NumTextTest::cuts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("front");
    QTest::addColumn<int>("back");
    QTest::addColumn<QString>("middle");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    // cutMiddle(text, front, back); leftOf(text, front); rightOf(text, back)
    QTest::newRow("answer") << "RG250;" << 2 << 1 << "250"
                            << "RG"
                            << ";";
    QTest::newRow("exact length") << "ID;" << 2 << 1 << ""
                                  << "ID"
                                  << ";";
    QTest::newRow("too short") << "R;" << 2 << 1 << ""
                               << "R;"
                               << ";";
    QTest::newRow("empty") << "" << 2 << 1 << ""
                           << ""
                           << "";
    QTest::newRow("nothing cut") << "abc" << 0 << 0 << "abc"
                                 << ""
                                 << "";
    QTest::newRow("more than there is") << "abc" << 5 << 5 << ""
                                        << "abc"
                                        << "abc";
    QTest::newRow("negative counts") << "abc" << -1 << -1 << "abc"
                                     << ""
                                     << "";
    QTest::newRow("latin-1 kept") << QString::fromLatin1(
                                         "DS14\xb0"
                                         "60;")
                                  << 2 << 1
                                  << QString::fromLatin1(
                                         "14\xb0"
                                         "60")
                                  << "DS"
                                  << ";";
}

void NumTextTest::cuts() {
    QFETCH(QString, text);
    QFETCH(int, front);
    QFETCH(int, back);
    QFETCH(QString, middle);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QCOMPARE(corvane::cutMiddle(text, front, back), middle);
    QCOMPARE(corvane::leftOf(text, front), left);
    QCOMPARE(corvane::rightOf(text, back), right);
}
