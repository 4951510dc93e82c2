#include <QtTest>
#include <cmath>

#include "core/numtext.h"
#include "tst_core.h"

using namespace corvane;

void NumTextTest::numericValue_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("number");  // isNumber()
    QTest::newRow("empty") << "" << 0.0 << false;
    QTest::newRow("sign only") << "-" << 0.0 << false;
    QTest::newRow("point only") << "." << 0.0 << false;
    QTest::newRow("blanks around") << "  -5.3  " << -5.3 << true;
    QTest::newRow("blank after sign") << "- 5.3" << -5.3 << false;
    QTest::newRow("blanks inside digits") << "1 4 060" << 14060.0 << false;
    QTest::newRow("plus sign") << "+7" << 7.0 << true;
    QTest::newRow("dBV readout") << "-23.5dBV" << -23.5 << false;
    QTest::newRow("negative fraction") << "-.5" << -0.5 << true;
    QTest::newRow("trailing point") << "5." << 5.0 << true;
    QTest::newRow("second point stops") << "1.2.3" << 1.2 << false;
    QTest::newRow("second sign stops") << "5-3" << 5.0 << false;
    QTest::newRow("two signs") << "+-1" << 0.0 << false;
    QTest::newRow("exponent") << "1.5E-2" << 1.5 << true;
    QTest::newRow("exponent without digits") << "2e" << 2.0 << false;
    QTest::newRow("letters first") << "abc12" << 0.0 << false;
    QTest::newRow("comma") << "1,5" << 1.0 << false;
    QTest::newRow("frequency answer") << "00014060000" << 14060000.0 << true;
    QTest::newRow("latin-1 byte stops") << QString::fromLatin1("3\xb0") << 3.0 << false;
}

void NumTextTest::numericValue() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, number);
    QCOMPARE(corvane::numericValue(text), value);
    QCOMPARE(corvane::isNumber(text), number);
}

void NumTextTest::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.5") << 0.5 << 0 << 0.0;
    QTest::newRow("1.5") << 1.5 << 0 << 2.0;
    QTest::newRow("-2.5") << -2.5 << 0 << -2.0;
    QTest::newRow("-3.5") << -3.5 << 0 << -4.0;
    QTest::newRow("not a half") << 2.5000001 << 0 << 3.0;
    QTest::newRow("difference of readings") << (-23.5 - -33.6) << 2 << 10.1;
    QTest::newRow("0.125") << 0.125 << 2 << 0.12;
    QTest::newRow("0.375") << 0.375 << 2 << 0.38;
}

void NumTextTest::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, rounded);
    if (decimals == 0) QCOMPARE(corvane::roundHalfEven(value), rounded);
    QCOMPARE(corvane::roundHalfEvenTo(value, decimals), rounded);
}

void NumTextTest::toInt16_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("result");
    QTest::newRow("32767.4") << 32767.4 << true << 32767;
    QTest::newRow("32767.5 rounds to 32768") << 32767.5 << false << 0;
    QTest::newRow("32766.5 rounds down") << 32766.5 << true << 32766;
    QTest::newRow("-32768.5 rounds to even") << -32768.5 << true << -32768;
    QTest::newRow("-32769.5") << -32769.5 << false << 0;
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
}

// kind: 's' shortestText, '1' singleText, digit n>=2: formatFixed(value, n - 2)
void NumTextTest::shortestText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<char>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("s 5") << 5.0 << 's' << "5";
    QTest::newRow("s 3500.5") << 3500.5 << 's' << "3500.5";
    QTest::newRow("s -0.5") << -0.5 << 's' << "-0.5";
    QTest::newRow("s negative zero") << -0.0 << 's' << "0";
    QTest::newRow("s binary noise hidden") << 0.1 + 0.2 << 's' << "0.3";
    QTest::newRow("s small, no exponent") << 1e-7 << 's' << "0.0000001";
    QTest::newRow("s large, no exponent") << 1e20 << 's' << "100000000000000000000";
    QTest::newRow("s fifteen digits") << 0.123456789012345 << 's' << "0.123456789012345";
    QTest::newRow("1 14060.123") << 14060.123 << '1' << "14060.12";
    QTest::newRow("1 1 Hz steps") << 14060.001 << '1' << "14060";
    QTest::newRow("1 seven digits") << 1234567.8 << '1' << "1234568";
    QTest::newRow("1 negative") << -7.25 << '1' << "-7.25";
    QTest::newRow("#0.0 10") << 10.0 << '3' << "10.0";
    QTest::newRow("#0.0 0.25 half away") << 0.25 << '3' << "0.3";
    QTest::newRow("#0.0 -0.25 half away") << -0.25 << '3' << "-0.3";
    QTest::newRow("#0.0 -0.04 no minus zero") << -0.04 << '3' << "0.0";
    QTest::newRow("#0.0 0.5") << 0.5 << '3' << "0.5";
    QTest::newRow("####0.000 single kHz") << double(float(14060.123)) << '5' << "14060.123";
    QTest::newRow("##0.00 2.675") << 2.675 << '4' << "2.68";
    QTest::newRow("##0.00 1.005") << 1.005 << '4' << "1.01";
    QTest::newRow("##0.00 -0.125") << -0.125 << '4' << "-0.13";
}

void NumTextTest::shortestText() {
    QFETCH(double, value);
    QFETCH(char, kind);
    QFETCH(QString, text);
    const QString got = kind == 's'   ? corvane::shortestText(value)
                        : kind == '1' ? corvane::singleText(value)
                                      : corvane::formatFixed(value, kind - '0' - 2);
    QCOMPARE(got, text);
}

void NumTextTest::formatTextFixed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("leading blank") << " -5.3"
                                   << "-5.3";
    QTest::newRow("whole number") << "10"
                                  << "10.0";
    QTest::newRow("exponent") << "1e2"
                              << "100.0";
    QTest::newRow("empty unchanged") << ""
                                     << "";
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

// cutMiddle(text, front, back); leftOf(text, front); rightOf(text, back)
void NumTextTest::cuts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("front");
    QTest::addColumn<int>("back");
    QTest::addColumn<QStringList>("expected");  // middle, left, right
    QTest::newRow("answer") << "RG250;" << 2 << 1 << QStringList{"250", "RG", ";"};
    QTest::newRow("too short") << "R;" << 2 << 1 << QStringList{"", "R;", ";"};
    QTest::newRow("nothing cut") << "abc" << 0 << 0 << QStringList{"abc", "", ""};
    QTest::newRow("more than there is") << "abc" << 5 << 5 << QStringList{"", "abc", "abc"};
    QTest::newRow("negative counts") << "abc" << -1 << -1 << QStringList{"abc", "", ""};
    QTest::newRow("latin-1 kept") << QString::fromLatin1("DS14\xb0;") << 2 << 1
                                  << QStringList{QString::fromLatin1("14\xb0"), "DS", ";"};
}

void NumTextTest::cuts() {
    QFETCH(QString, text);
    QFETCH(int, front);
    QFETCH(int, back);
    QFETCH(QStringList, expected);
    QCOMPARE(corvane::cutMiddle(text, front, back), expected.at(0));
    QCOMPARE(corvane::leftOf(text, front), expected.at(1));
    QCOMPARE(corvane::rightOf(text, back), expected.at(2));
}
