#include "support/numbers.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Numbers, LeadingNumberReadsTheLongestLeadingDecimal)
{
    EXPECT_DOUBLE_EQ(LeadingNumber(u"12abc"), 12.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"abc"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u""), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"   12.5 s"), 12.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"1,5"), 1.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"-3.25"), -3.25);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"+7"), 7.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"-.5x"), -0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"5."), 5.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"1.5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"2E-2"), 0.02);
    // An exponent without digits is not part of the number.
    EXPECT_DOUBLE_EQ(LeadingNumber(u"3e"), 3.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"3e+x"), 3.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"."), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"- 5"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(u"1 2"), 1.0);
    EXPECT_TRUE(std::isinf(LeadingNumber(u"1e999")));
}

TEST(Numbers, OutOfRangeIsTooLargeOrTooSmallByTheWholeNumberNotTheExponentSign)
{
    const QString zeros(400, QLatin1Char('0'));
    // About 1e395 despite its negative exponent: too large.
    EXPECT_TRUE(std::isinf(LeadingNumber(QString(QLatin1String("1") + zeros + QLatin1String("e-5")))));
    EXPECT_EQ(StrictNumber(QString(QLatin1String("1") + zeros + QLatin1String("e-5"))), std::nullopt);
    const double neg = LeadingNumber(QString(QLatin1String("-") + zeros.left(386).replace(QLatin1Char('0'), QLatin1Char('8'))
                                             + QLatin1String("1.5E-3")));
    EXPECT_TRUE(std::isinf(neg) && neg < 0);
    // About 1e-401 without any exponent: too small, so zero.
    EXPECT_EQ(LeadingNumber(QString(QLatin1String("0.") + zeros + QLatin1String("1"))), 0.0);
    EXPECT_EQ(StrictNumber(QString(QLatin1String("0.") + zeros + QLatin1String("1"))), std::optional<double>(0.0));
    EXPECT_EQ(LeadingNumber(u"1e-999"), 0.0);
}

TEST(Numbers, StrictNumberAcceptsOnlyOneWholeNumber)
{
    EXPECT_EQ(StrictNumber(u" 42 "), std::optional<double>(42.0));
    EXPECT_EQ(StrictNumber(u"-0.25"), std::optional<double>(-0.25));
    EXPECT_EQ(StrictNumber(u"1e2"), std::optional<double>(100.0));
    for (const char16_t* bad : {u"", u"  ", u"12abc", u"abc", u"1,5", u"+", u".", u"1e999", u"1 2"})
        EXPECT_EQ(StrictNumber(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
}

TEST(Numbers, RoundsHalfToEvenAndFailsOutOfRange)
{
    EXPECT_EQ(RoundToInt16(12.5), std::optional<qint16>(12));
    EXPECT_EQ(RoundToInt16(13.5), std::optional<qint16>(14));
    EXPECT_EQ(RoundToInt16(-0.5), std::optional<qint16>(0));
    EXPECT_EQ(RoundToInt16(-1.5), std::optional<qint16>(-2));
    EXPECT_EQ(RoundToInt16(-2.5), std::optional<qint16>(-2));
    EXPECT_EQ(RoundToInt16(2.4999), std::optional<qint16>(2));
    EXPECT_EQ(RoundToInt16(2.5001), std::optional<qint16>(3));
    EXPECT_EQ(RoundToInt16(32767.4), std::optional<qint16>(32767));
    EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(RoundToInt16(-32768.5), std::optional<qint16>(-32768));
    EXPECT_EQ(RoundToInt16(-32768.6), std::nullopt);
    EXPECT_EQ(RoundToInt16(NAN), std::nullopt);
    EXPECT_EQ(RoundToInt32(2147483647.4), std::optional<qint32>(2147483647));
    EXPECT_EQ(RoundToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(RoundToInt32(-2147483648.5), std::optional<qint32>(-2147483647 - 1));
    EXPECT_EQ(RoundToInt32(100000.5), std::optional<qint32>(100000));
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.5)));
}

TEST(Numbers, FixedFormats)
{
    EXPECT_EQ(FormatNumber(0, u"#0.00"), "0.00");
    EXPECT_EQ(FormatNumber(3.14159, u"#0.00"), "3.14");
    EXPECT_EQ(FormatNumber(12345.678, u"#0.00"), "12345.68");
    EXPECT_EQ(FormatNumber(0.05, u"#0.0"), "0.1");   // half away from zero
    EXPECT_EQ(FormatNumber(0.25, u"#0.0"), "0.3");
    EXPECT_EQ(FormatNumber(-0.25, u"#0.0"), "-0.3");
    EXPECT_EQ(FormatNumber(2.675, u"0.00"), "2.68"); // 2.67499999... in binary
    EXPECT_EQ(FormatNumber(1.0005, u"#0.000"), "1.001");
    EXPECT_EQ(FormatNumber(9.9996, u"#0.000"), "10.000");
    EXPECT_EQ(FormatNumber(99.96, u"0.0"), "100.0");
    EXPECT_EQ(FormatNumber(-0.04, u"0.0"), "0.0");   // no negative zero
    EXPECT_EQ(FormatNumber(-12.345, u"0.00"), "-12.35");
    EXPECT_EQ(FormatNumber(0.26, u"#.0"), ".3");
    EXPECT_EQ(FormatNumber(1.26, u"#.0"), "1.3");
    EXPECT_EQ(FormatNumber(0.04, u"#.0"), ".0");
    EXPECT_EQ(FormatNumber(1e-7, u"#0.000"), "0.000");
    EXPECT_EQ(FormatNumber(123456789.5, u"0"), "123456790");
    EXPECT_EQ(FormatNumber(7, u"00.0"), "07.0");
}
