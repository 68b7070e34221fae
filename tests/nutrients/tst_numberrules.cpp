// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>

#include <QTest>

#include "nutrients/numberrules.h"

using namespace Qt::StringLiterals;

class TestNumberRules : public QObject
{
    Q_OBJECT

private slots:
    void numberPrefix_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number"); // NaN: the text fails, being beyond a double

        QTest::newRow("no digit before the point") << u".5"_s << 0.5;
        QTest::newRow("a unit after the number is ignored") << u"2 cups"_s << 2.0;
        QTest::newRow("a fraction reads its numerator") << u"1/2"_s << 1.0;
        QTest::newRow("tabs and line feeds count for nothing") << u"\t1\n2 .\t5"_s << 12.5;
        QTest::newRow("blank after a minus sign") << u"- 3"_s << -3.0;
        QTest::newRow("N/A is 0") << u"N/A"_s << 0.0;
        QTest::newRow("a lone point is 0") << u"."_s << 0.0;
        QTest::newRow("a second point ends the number") << u"1.2.3"_s << 1.2;
        QTest::newRow("lower-case exponent with sign") << u"25e-1"_s << 2.5;
        QTest::newRow("exponent with blanks") << u"1 e + 2"_s << 100.0;
        QTest::newRow("E without digits is not an exponent") << u"2E"_s << 2.0;
        QTest::newRow("no D exponent") << u"1D3"_s << 1.0;
        QTest::newRow("no radix prefix") << u"0x1F"_s << 0.0;
        QTest::newRow("a carriage return ends the number") << u"1\r2"_s << 1.0;
        QTest::newRow("a number too small for a double is 0") << u"1e-400"_s << 0.0;
        QTest::newRow("1e400 fails") << u"1e400"_s << qQNaN();
        QTest::newRow("four hundred digits fail") << QString(400, u'9') << qQNaN();
    }

    void numberPrefix()
    {
        QFETCH(QString, text); QFETCH(double, number);
        QCOMPARE(NumberRules::numberPrefix(text).value_or(qQNaN()), number);
    }

    // Every text written also reads back as the same number, to 15 digits.
    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("trailing zeros of a whole number stay") << 1200.0 << u"1200"_s;
        QTest::newRow("a third to 15 digits") << 1.0 / 3.0 << u"0.333333333333333"_s;
        QTest::newRow("10.2 plus 0.4 is 10.6") << 10.2 + 0.4 << u"10.6"_s;
        QTest::newRow("negative zero is 0") << -0.0 << u"0"_s;
        QTest::newRow("15 digits stay whole") << 999999999999999.0 << u"999999999999999"_s;
        QTest::newRow("the 16th digit rounds") << 123456789012345.6 << u"123456789012346"_s;
        QTest::newRow("rounding up to 1E15 turns to exponent form") << 999999999999999.9 << u"1E+15"_s;
        QTest::newRow("exponent form keeps its digits") << -2.5e20 << u"-2.5E+20"_s;
        QTest::newRow("0.0001 is still written out") << 0.0001 << u"0.0001"_s;
        QTest::newRow("below 0.0001 in exponent form") << 0.00001 << u"1E-05"_s;
        QTest::newRow("tiny with 15 digits") << -1.23456789012345e-250 << u"-1.23456789012345E-250"_s;
        QTest::newRow("the largest double is cut, not rounded past the range")
            << std::numeric_limits<double>::max() << u"1.79769313486231E+308"_s;
    }

    void numberText()
    {
        QFETCH(double, value); QFETCH(QString, text);
        QCOMPARE(NumberRules::numberText(value), text);
        const double back = NumberRules::numberPrefix(text).value();
        QVERIFY2(std::fabs(back - value) <= std::fabs(value) * 1e-14, qPrintable(QString::number(back)));
    }

    void wholeNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text"); // empty: out of range

        QTest::newRow("12.5 goes to the even 12") << 12.5 << u"12"_s;
        QTest::newRow("13.5 goes to the even 14") << 13.5 << u"14"_s;
        QTest::newRow("-0.5 goes to 0, without a sign") << -0.5 << u"0"_s;
        QTest::newRow("32767 is the top") << 32767.0 << u"32767"_s;
        QTest::newRow("32767.5 rounds out of range") << 32767.5 << QString();
        QTest::newRow("-32768.5 goes to the even -32768") << -32768.5 << u"-32768"_s;
        QTest::newRow("-32769 is out of range") << -32769.0 << QString();
        QTest::newRow("infinity is out of range") << std::numeric_limits<double>::infinity() << QString();
        QTest::newRow("NaN is out of range") << qQNaN() << QString();
    }

    void wholeNumber()
    {
        QFETCH(double, value); QFETCH(QString, text);
        QCOMPARE(NumberRules::wholeNumberText(value).value_or(QString()), text);
    }
};

QTEST_GUILESS_MAIN(TestNumberRules)
#include "tst_numberrules.moc"
