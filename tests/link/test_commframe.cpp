// Frame building, checksum and the two frame parsers, against hand-computed bytes.
#include "link/commframe.h"
#include "linktestpeer.h"

#include <gtest/gtest.h>

namespace {

constexpr auto bytes = Bytes;

// Feeds every byte; returns the frames completed on the way.
std::vector<RxMachine::Frame> feedAll(RxMachine& rx, const QByteArray& in)
{
    std::vector<RxMachine::Frame> out;
    for (char c : in)
        if (auto f = rx.feed(c))
            out.push_back(*f);
    return out;
}

} // namespace

TEST(CommFrame, EmptyCommandFrames)
{
    // Empty command: 4 bytes, CRC over the length character 0x22 alone = 0x12FF.
    EXPECT_EQ(*BuildCommandFrame("", true), bytes({0x21, 0x22, 0xA1, 0x47}));
    EXPECT_EQ(*BuildCommandFrame("", false), bytes({0x21, 0x22, 0x00, 0x00}));
}

TEST(CommFrame, CommandLengthLimitAndLatin1)
{
    const QByteArray longest(221, 'x');
    auto f = BuildCommandFrame(longest, true);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->size(), 225) << "f.size";
    EXPECT_EQ(static_cast<quint8>(f->at(1)), 0xFF) << "static_cast<quint8>(f->at(1))";
    EXPECT_FALSE(BuildCommandFrame(QByteArray(222, 'x'), true).has_value());

    // A byte above 0x7F travels as itself.
    EXPECT_EQ(*BuildCommandFrame(QByteArray("\xC5"), false), bytes({0x21, 0x23, 0xC5, 0, 0}));
}

TEST(CommFrame, CalcCrcZeroLengthAndReplyLimit)
{
    EXPECT_EQ(Comm_CalcCRC(bytes({0x21, 0x00, 0x40, 0x11, 0x22})), (std::array<char, 2>{0, 0}));
    // Three bytes cannot hold a checksum.
    EXPECT_EQ(Comm_CalcCRC(bytes({0x21, 0x24, 0x41})), (std::array<char, 2>{0, 0}));
    EXPECT_FALSE(BuildReplyFrame('A', QByteArray(220, 'x')).has_value());
}

TEST(CommFrame, StatusCharacters)
{
    for (auto [c, status] : {std::pair('A', 0), {'B', 3}, {'C', 4}, {'D', 5}, {'E', 6}, {'Z', 5}, {'a', 5}})
        EXPECT_EQ(StatusForReplyChar(c), status) << c;
}

TEST(RxMachine, RejectsBadChecksums)
{
    RxMachine rx;
    // Swapped checksum characters; then only the second one wrong.
    for (const QByteArray& bad :
         {bytes({0x21, 0x24, 0x41, 0x97, 0x35}), bytes({0x21, 0x24, 0x41, 0x35, 0x98})}) {
        const auto frames = feedAll(rx, bad);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_FALSE(frames[0].checksumOk);
    }
}

TEST(RxMachine, IgnoresLengthsOfTwoOrLess)
{
    RxMachine rx;
    // A length of 2 or less is ignored; the real length follows.
    const auto frames = feedAll(rx, bytes({0x21, 0x01, 0x02, 0x24, 0x41, 0x35, 0x97}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].checksumOk);
}

TEST(RxMachine, ShortLengthsAndTrailingBytes)
{
    RxMachine rx;
    // 0x10 and 0x22 cannot hold a frame: reported bad at once, rest discarded.
    for (int len : {0x03, 0x10, 0x22}) {
        auto frames = feedAll(rx, bytes({0x21, len, 0x41, 0x35, 0x97}));
        ASSERT_EQ(frames.size(), 1u) << len;
        EXPECT_FALSE(frames[0].checksumOk) << len;
        EXPECT_EQ(rx.index(), -1);
    }
    EXPECT_EQ(feedAll(rx, bytes({0x21, 0x22})).size(), 1u) << "0x22 reported at its length character";
    // 0x23 leaves room for the checksum alone: the frame waits for both bytes.
    EXPECT_TRUE(feedAll(rx, bytes({0x21, 0x23, 0x41})).empty());
    const auto lone = feedAll(rx, bytes({0x35}));
    ASSERT_EQ(lone.size(), 1u);
    EXPECT_TRUE(lone[0].data.isEmpty());
    // After a completed reply, extra bytes complete nothing until the next start.
    auto frames = feedAll(rx, bytes({0x21, 0x24, 0x41, 0x35, 0x97, 0x97, 0x35, 0x41}));
    EXPECT_EQ(frames.size(), 1u);
    frames = feedAll(rx, bytes({0x21, 0x24, 0x41, 0x35, 0x97}));
    EXPECT_EQ(frames.size(), 1u);
    // A reset in the middle of a frame waits for the next start.
    EXPECT_TRUE(feedAll(rx, bytes({0x21, 0x29, 0x41})).empty());
    rx.reset();
    EXPECT_TRUE(feedAll(rx, bytes({0x24, 0x41, 0x35, 0x97})).empty());
}

TEST(CommandFrameParser, RebuildsCommandsFromAStream)
{
    CommandFrameParser p;
    std::vector<CommandFrameParser::Command> got;
    const QByteArray stream = bytes({0x21, 0x05, 0x24, 0x4B, 0x31, 0x5D, 0x31, // no length: needs a new start
                                     0x33, 0x21, 0x24, 0x4B, 0x31, 0x5D, 0x31, // K1, checksum on
                                     0x21, 0x23, 0x40, 0x00, 0x00,             // @, checksum off
                                     0x21, 0x22, 0xA1, 0x47,                   // empty
                                     0x21, 0x23, 0x40, 0x37, 0x4F,             // @, swapped
                                     0x21, 0x23, 0x40, 0x00, 0x37});           // @, one zero: not "off"
    for (char c : stream)
        if (auto cmd = p.feed(c))
            got.push_back(*cmd);
    ASSERT_EQ(got.size(), 5u);
    using C = CommandFrameParser::Checksum;
    EXPECT_EQ(got[0].text, QByteArray("K1")) << "got[0].text";
    EXPECT_EQ(got[1].text, QByteArray("@")) << "got[1].text";
    EXPECT_EQ(got[2].text, QByteArray()) << "got[2].text";
    EXPECT_EQ(got[0].checksum, C::Ok) << "got[0].checksum";
    EXPECT_EQ(got[1].checksum, C::Off) << "got[1].checksum";
    EXPECT_EQ(got[2].checksum, C::Ok) << "got[2].checksum";
    EXPECT_EQ(got[3].checksum, C::Bad) << "got[3].checksum";
    EXPECT_EQ(got[4].checksum, C::Bad) << "got[4].checksum";
}
