// Reply-field reader and the number rules every reply parser shares.

#include "commands/replyfields.h"
#include "fuzz/fuzzcheck.h"

#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <regex>

namespace {

// A text that is one plain decimal number, blanks around it aside, read by
// the C library as an independent reference. nullopt for any other text.
std::optional<double> referenceNumber(const QString& text, qsizetype* mantissaDigits)
{
    static const std::regex plain("[ \\t]*([-+]?([0-9]+)(\\.([0-9]+))?([eE][-+]?[0-9]{1,4})?)[ \\t]*");
    const std::string ascii = text.toLatin1().toStdString();
    std::smatch m;
    if (text.size() > 600 || !std::regex_match(ascii, m, plain))
        return std::nullopt;
    *mantissaDigits = m[2].length() + m[4].length();
    return std::strtod(m[1].str().c_str(), nullptr);
}

void sameAsReference(const QString& text)
{
    qsizetype digits = 0;
    const auto ref = referenceNumber(text, &digits);
    if (!ref)
        return;
    const double leading = LeadingNumber(text);
    const auto strict = StrictNumber(text);
    if (std::fabs(*ref) < 1e-300) {
        FUZZ_CHECK(std::fabs(leading) < 1e-300);
        FUZZ_CHECK(!strict || std::fabs(*strict) < 1e-300);
    } else if (std::isinf(*ref)) {
        FUZZ_CHECK(leading == *ref);
        FUZZ_CHECK(!strict);
    } else {
        FUZZ_CHECK(leading == *ref);
        FUZZ_CHECK(strict && *strict == *ref);
    }
}

} // namespace

std::vector<std::string> FuzzSeedInputs()
{
    return {"",
            " ",
            "1 2 3",
            "1,12.5 2,-0.25 3,1e3 4,7",
            "  12.5 s",
            "-1.5E-3",
            "1,5",
            "+.5",
            "5.",
            "1e",
            "1e+",
            "0 0.0 -0 +0",
            "32767 -32768 32768",
            "1,2,3 a,b,c ,, ,",
            "99999999999999999999 1e308 1e309",
            "1e-320 -2.5e-310 4.9e-324 1.7976931348623157e308 -1e400 0.000000000000000000001"};
}

std::string FuzzDictionary()
{
    return " ,.+-eE0123456789\t\xa0\xb2x";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const ReplyFields f(reply);
    FUZZ_CHECK(f.count() >= 1);
    FUZZ_CHECK(f.count() == reply.count(QLatin1Char(' ')) + 1);
    // Splitting at every single space loses nothing: the fields join back to the reply.
    QStringList parts;
    for (int n = 1; n <= f.count(); ++n)
        parts << f.field(n);
    FUZZ_CHECK(parts.join(QLatin1Char(' ')) == reply);
    FUZZ_CHECK(f.field(f.count() + 1).isEmpty());
    for (int n = 1; n <= f.count() && n <= 64; ++n) {
        const QString v = f.value(n);
        FUZZ_CHECK(v.size() <= f.field(n).size());
    }

    for (const QString& text : {reply, f.field(1), f.value(1)}) {
        sameAsReference(text);
        const auto leading = ReadNumber(text, NumberRule::Leading);
        FUZZ_CHECK(leading.has_value());
        const auto strict = ReadNumber(text, NumberRule::Strict);
        if (strict) {
            // A text that is wholly a number starts with that number.
            FUZZ_CHECK(*strict == *leading || (std::isnan(*strict) && std::isnan(*leading)));
            FUZZ_CHECK(!text.trimmed().isEmpty());
        }
    }
    return 0;
}
