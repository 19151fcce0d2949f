#include "support/numbers.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Numbers, LeadingNumberReadsTheLongestLeadingDecimal)
{
    // An exponent without digits is not part of the number ("3e", "3e+x").
    const std::pair<const char16_t*, double> cases[] = {
        {u"12abc", 12.0}, {u"abc", 0.0},      {u"", 0.0},      {u"   12.5 s", 12.5},
        {u"1,5", 1.0},    {u"-3.25", -3.25},  {u"+7", 7.0},    {u"-.5x", -0.5},
        {u"5.", 5.0},     {u"1.5e3", 1500.0}, {u"2E-2", 0.02}, {u"3e", 3.0},
        {u"3e+x", 3.0},   {u".", 0.0},        {u"- 5", 0.0},   {u"1 2", 1.0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << QString::fromUtf16(text).toStdString();
    EXPECT_TRUE(std::isinf(LeadingNumber(u"1e999")));
}

TEST(Numbers, OutOfRangeIsTooLargeOrTooSmallByTheWholeNumberNotTheExponentSign)
{
    const QString zeros(400, QLatin1Char('0'));
    // About 1e395 despite its negative exponent: too large.
    EXPECT_TRUE(std::isinf(LeadingNumber(QString(QLatin1String("1") + zeros + QLatin1String("e-5")))));
    EXPECT_EQ(StrictNumber(QString(QLatin1String("1") + zeros + QLatin1String("e-5"))), std::nullopt);
    const double neg = LeadingNumber(QString(QLatin1String("-") +
                                             zeros.left(386).replace(QLatin1Char('0'), QLatin1Char('8')) +
                                             QLatin1String("1.5E-3")));
    EXPECT_TRUE(std::isinf(neg)) << "std::isinf(neg)";
    EXPECT_TRUE(neg < 0) << "neg < 0";
    // About 1e-401 without any exponent: too small, so zero.
    EXPECT_EQ(LeadingNumber(QString(QLatin1String("0.") + zeros + QLatin1String("1"))), 0.0);
    EXPECT_EQ(StrictNumber(QString(QLatin1String("0.") + zeros + QLatin1String("1"))),
              std::optional<double>(0.0));
    EXPECT_EQ(LeadingNumber(u"1e-999"), 0.0);
}

TEST(Numbers, StrictNumberAcceptsOnlyOneWholeNumber)
{
    EXPECT_EQ(StrictNumber(u" 42 "), std::optional(42.0)) << "StrictNumber(u' 42 ')";
    EXPECT_EQ(StrictNumber(u"-0.25"), std::optional(-0.25)) << "StrictNumber(u'-0.25')";
    EXPECT_EQ(StrictNumber(u"1e2"), std::optional(100.0)) << "StrictNumber(u'1e2')";
    for (const char16_t* bad : {u"", u"  ", u"12abc", u"abc", u"1,5", u"+", u".", u"1e999", u"1 2"})
        EXPECT_EQ(StrictNumber(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
}

TEST(Numbers, RoundsHalfToEvenAndFailsOutOfRange)
{
    const std::pair<double, std::optional<qint16>> cases[] = {
        {12.5, 12},
        {13.5, 14},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4999, 2},
        {2.5001, 3},
        {32767.4, 32767},
        {32767.5, std::nullopt},
        {-32768.5, -32768},
        {-32768.6, std::nullopt},
        {NAN, std::nullopt},
    };
    for (const auto& [v, want] : cases)
        EXPECT_EQ(RoundToInt16(v), want) << v;
    EXPECT_EQ(RoundToInt32(2147483647.4), std::optional<qint32>(2147483647)) << "2147483647.4";
    EXPECT_EQ(RoundToInt32(2147483647.5), std::optional<qint32>()) << "2147483647.5";
    EXPECT_EQ(RoundToInt32(-2147483648.5), std::optional<qint32>(-2147483647 - 1)) << "-2147483648.5";
    EXPECT_EQ(RoundToInt32(100000.5), std::optional<qint32>(100000)) << "100000.5";
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.5)));
}

TEST(Numbers, FixedFormats)
{
    // Halves away from zero (0.05, 0.25); 2.675 is 2.67499999... in binary;
    // no negative zero (-0.04).
    const std::tuple<double, const char16_t*, const char*> cases[] = {
        {0, u"#0.00", "0.00"},
        {3.14159, u"#0.00", "3.14"},
        {12345.678, u"#0.00", "12345.68"},
        {0.05, u"#0.0", "0.1"},
        {0.25, u"#0.0", "0.3"},
        {-0.25, u"#0.0", "-0.3"},
        {2.675, u"0.00", "2.68"},
        {1.0005, u"#0.000", "1.001"},
        {9.9996, u"#0.000", "10.000"},
        {99.96, u"0.0", "100.0"},
        {-0.04, u"0.0", "0.0"},
        {-12.345, u"0.00", "-12.35"},
        {0.26, u"#.0", ".3"},
        {1.26, u"#.0", "1.3"},
        {0.04, u"#.0", ".0"},
        {1e-7, u"#0.000", "0.000"},
        {123456789.5, u"0", "123456790"},
        {7, u"00.0", "07.0"},
    };
    for (const auto& [v, format, text] : cases)
        EXPECT_EQ(FormatNumber(v, format), text) << v;
}
