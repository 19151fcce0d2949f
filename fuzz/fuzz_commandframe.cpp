// Command-frame parser (the instrument's side): any byte stream must not
// break it, and any text framed by the host comes back as sent.

#include "fuzz/fuzzcheck.h"
#include "link/commframe.h"

std::vector<std::string> FuzzSeedInputs()
{
    std::vector<std::string> seeds;
    for (const char* text : {"V", "K1", "K2", "T 12", "S2 455", "U 32", "L 3 1 2 3 4", "F 7 101 Gold"}) {
        seeds.push_back(BuildCommandFrame(text, true)->toStdString());
        seeds.push_back(BuildCommandFrame(text, false)->toStdString());
    }
    seeds.push_back(seeds[0] + seeds[3] + seeds[6]);
    return seeds;
}

std::string FuzzDictionary()
{
    // The length comes from the array: the text holds a zero byte.
    static constexpr char kBytes[] = "!\0\x21\x22\x23\xff\x80 KVTSUL0123456789";
    return std::string(kBytes, sizeof kBytes - 1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CommandFrameParser parser;
    for (size_t i = 0; i < size; ++i) {
        const auto cmd = parser.feed(static_cast<char>(data[i]));
        if (cmd) {
            FUZZ_CHECK(cmd->text.size() <= kMaxCommandLength);
            if (cmd->checksum == CommandFrameParser::Checksum::Ok) {
                // A frame that passes its checksum is what the host builds for that text.
                const auto rebuilt = BuildCommandFrame(cmd->text, true);
                FUZZ_CHECK(rebuilt.has_value());
            }
        }
    }
    parser.reset();

    // The input taken as command text: framed by the host, parsed back whole,
    // with the checksum on and off.
    const QByteArray text(reinterpret_cast<const char*>(data),
                          qsizetype(std::min<size_t>(size, kMaxCommandLength)));
    for (bool checksumOn : {true, false}) {
        const auto frame = BuildCommandFrame(text, checksumOn);
        FUZZ_CHECK(frame.has_value());
        CommandFrameParser p;
        int count = 0;
        std::optional<CommandFrameParser::Command> got;
        for (char c : *frame)
            if (auto r = p.feed(c)) {
                got = r;
                ++count;
            }
        FUZZ_CHECK(count == 1 && got.has_value());
        FUZZ_CHECK(got->text == text);
        FUZZ_CHECK(got->checksum ==
                   (checksumOn ? CommandFrameParser::Checksum::Ok : CommandFrameParser::Checksum::Off));
    }
    FUZZ_CHECK(!BuildCommandFrame(QByteArray(kMaxCommandLength + 1, 'x'), true).has_value());
    return 0;
}
