#include "support/numbers.h"

#include <algorithm>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The extent of the number starting at pos (after blanks): returns its end
// (pos when there is none) and its text in ASCII for the conversion.
qsizetype scanNumber(QStringView text, qsizetype pos, std::string* ascii)
{
    qsizetype i = pos;
    const qsizetype n = text.size();
    std::string out;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        out.push_back(char(text[i].unicode()));
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        qsizetype j = i + 1;
        std::string frac;
        while (j < n && isDigit(text[j])) {
            frac.push_back(char(text[j].unicode()));
            ++j;
        }
        if (digits > 0 || !frac.empty()) {
            out.push_back('.');
            out += frac;
            digits += qsizetype(frac.size());
            i = j;
        }
    }
    if (digits == 0)
        return pos;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            exp.push_back(char(text[j].unicode()));
            ++j;
        }
        qsizetype expDigits = 0;
        while (j < n && isDigit(text[j])) {
            exp.push_back(char(text[j].unicode()));
            ++j;
            ++expDigits;
        }
        if (expDigits > 0) {
            out += exp;
            i = j;
        }
    }
    if (out.front() == '.')
        out.insert(out.begin(), '0');
    if (negative)
        out.insert(out.begin(), '-');
    *ascii = std::move(out);
    return i;
}

// The power of ten of the first significant digit of a scanned number
// ("1234e-2" -> 1, "0.0012" -> -3): whether an out-of-range value is too
// large or too small. The written exponent alone cannot tell ("1" and 400
// zeros "e-5" is still too large).
long long decimalMagnitude(const std::string& s)
{
    const std::size_t ePos = s.find_first_of("eE");
    const std::string mantissa = s.substr(0, ePos);
    long long exponent = 0;
    if (ePos != std::string::npos) {
        std::size_t j = ePos + 1;
        const bool negative = j < s.size() && s[j] == '-';
        if (j < s.size() && (s[j] == '-' || s[j] == '+'))
            ++j;
        for (; j < s.size(); ++j)
            exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1'000'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    long long intDigits = 0; // significant digits before the point
    long long fracZeros = 0; // zeros after the point before the first significant digit
    bool significant = false;
    bool afterPoint = false;
    for (const char c : mantissa) {
        if (c == '.') {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (c != '0')
                significant = true;
            if (!afterPoint && significant)
                ++intDigits;
            else if (afterPoint && !significant && intDigits == 0)
                ++fracZeros;
            if (afterPoint && significant)
                break;
        }
    }
    const long long lead = intDigits > 0 ? intDigits - 1 : -(fracZeros + 1);
    return lead + exponent;
}

// Locale-independent conversion; a value too large becomes an infinity,
// one too small 0.
std::optional<double> convert(const std::string& s)
{
    double v = 0.0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        const bool tiny = decimalMagnitude(s) < 0;
        const bool negative = !s.empty() && s.front() == '-';
        if (tiny)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    if (res.ec != std::errc())
        return std::nullopt;
    return v;
}

qsizetype skipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

} // namespace

double LeadingNumber(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    std::string ascii;
    if (scanNumber(text, start, &ascii) == start)
        return 0.0;
    return convert(ascii).value_or(0.0);
}

std::optional<double> StrictNumber(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    std::string ascii;
    const qsizetype end = scanNumber(text, start, &ascii);
    if (end == start || skipBlanks(text, end) != text.size())
        return std::nullopt;
    const auto v = convert(ascii);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return v;
}

double RoundHalfEven(double v)
{
    if (!std::isfinite(v))
        return v;
    const double f = std::floor(v);
    const double diff = v - f;
    double r;
    if (diff > 0.5)
        r = f + 1.0;
    else if (diff < 0.5)
        r = f;
    else
        r = std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
    return r == 0.0 ? 0.0 : r; // no negative zero
}

std::optional<qint16> RoundToInt16(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return qint16(r);
}

std::optional<qint32> RoundToInt32(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return qint32(r);
}

std::optional<qint16> TextToInt16(QStringView text)
{
    const auto v = StrictNumber(text);
    if (!v)
        return std::nullopt;
    return RoundToInt16(*v);
}

namespace {

struct Pattern {
    int minInt = 0;   // '0' digits before the point
    int decimals = 0; // digit places after the point
    int minFrac = 0;  // of which always shown
    bool point = false;
};

Pattern parsePattern(QStringView pattern)
{
    Pattern p;
    bool afterPoint = false;
    int fracZeros = 0;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('.')) {
            afterPoint = true;
            p.point = true;
        } else if (c == QLatin1Char('0')) {
            if (afterPoint) {
                ++p.decimals;
                fracZeros = p.decimals;
            } else {
                ++p.minInt;
            }
        } else if (c == QLatin1Char('#')) {
            if (afterPoint)
                ++p.decimals;
        }
    }
    p.minFrac = fracZeros;
    return p;
}

// Adds one to a string of decimal digits.
void incrementDigits(std::string& digits)
{
    int i = int(digits.size()) - 1;
    while (i >= 0) {
        if (digits[size_t(i)] == '9') {
            digits[size_t(i)] = '0';
            --i;
        } else {
            ++digits[size_t(i)];
            return;
        }
    }
    digits.insert(digits.begin(), '1');
}

// |v| * 10^decimals rounded half away from zero, as decimal digits, after
// reducing v to 15 significant digits.
std::string scaledDigits(double a, int decimals)
{
    if (a == 0.0)
        return "0";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr);
    const auto ePos = s.find('e');
    std::string mantissa;
    for (size_t i = 0; i < ePos; ++i)
        if (s[i] != '.')
            mantissa.push_back(s[i]);
    const int exponent = std::stoi(s.substr(ePos + 1));
    // Digit i of the mantissa stands for 10^(exponent - i); keep those down to 10^-decimals.
    const long long keep = (long long)exponent + decimals + 1;
    std::string kept;
    int next = 0;
    if (keep <= 0) {
        next = keep == 0 ? mantissa[0] - '0' : 0;
    } else {
        for (long long i = 0; i < keep; ++i)
            kept.push_back(i < (long long)mantissa.size() ? mantissa[size_t(i)] : '0');
        next = keep < (long long)mantissa.size() ? mantissa[size_t(keep)] - '0' : 0;
    }
    if (kept.empty())
        kept.push_back('0');
    if (next >= 5)
        incrementDigits(kept);
    const auto nz = kept.find_first_not_of('0');
    if (nz == std::string::npos)
        return "0";
    kept.erase(0, nz);
    return kept;
}

} // namespace

QString FormatNumber(double v, QStringView pattern)
{
    const Pattern p = parsePattern(pattern);
    if (!std::isfinite(v))
        v = 0.0;
    const std::string digits = scaledDigits(std::fabs(v), p.decimals);
    std::string intPart, frac;
    if (int(digits.size()) > p.decimals) {
        intPart = digits.substr(0, digits.size() - size_t(p.decimals));
        frac = digits.substr(digits.size() - size_t(p.decimals));
    } else {
        frac = std::string(size_t(p.decimals) - digits.size(), '0') + digits;
    }
    const bool zero = digits == "0";
    if (intPart == "0")
        intPart.clear();
    if (int(intPart.size()) < p.minInt)
        intPart.insert(0, size_t(p.minInt) - intPart.size(), '0');
    while (int(frac.size()) > p.minFrac && !frac.empty() && frac.back() == '0')
        frac.pop_back();
    std::string out;
    if (v < 0 && !zero)
        out.push_back('-');
    out += intPart;
    if (p.point)
        out += "." + frac;
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

std::optional<double> ReadNumber(QStringView text, NumberRule rule)
{
    if (rule == NumberRule::Strict)
        return StrictNumber(text);
    return LeadingNumber(text);
}
