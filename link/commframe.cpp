#include "link/commframe.h"

#include <array>

namespace {

// The bit loop below, run for every byte value once: a byte then costs one
// look-up instead of eight shifts (the transfers checksum about 200 kB).
//   crc ^= byte; 8 times: crc = (crc >> 1) ^ (crc & 1 ? 0x2001 : 0)
constexpr std::array<quint16, 256> kCrcTable = [] {
    std::array<quint16, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ ((crc & 1u) ? 0x2001u : 0u);
        t[i] = static_cast<quint16>(crc);
    }
    return t;
}();

} // namespace

quint16 FrameCRC(const char* data, qsizetype size)
{
    quint16 crc = 0x3FFF;
    for (qsizetype i = 0; i < size; ++i)
        crc = static_cast<quint16>((crc >> 8) ^ kCrcTable[(crc ^ static_cast<quint8>(data[i])) & 0xFFu]);
    return crc & 0x3FFF;
}

std::array<char, 2> CrcChars(quint16 crc)
{
    return {static_cast<char>((crc & 0x7F) + 0x22), static_cast<char>(((crc >> 7) & 0x7F) + 0x22)};
}

std::array<char, 2> Comm_CalcCRC(const QByteArray& frame)
{
    if (frame.size() < 4 || frame.at(1) == 0)
        return {0, 0};
    return CrcChars(FrameCRC(frame.constData() + 1, frame.size() - 3));
}

std::optional<QByteArray> BuildCommandFrame(const QByteArray& text, bool checksumOn)
{
    if (text.size() > kMaxCommandLength)
        return std::nullopt;
    QByteArray frame(text.size() + 4, '\0');
    frame[0] = kFrameStart;
    frame[1] = static_cast<char>(0x22 + text.size());
    std::copy(text.cbegin(), text.cend(), frame.begin() + 2);
    if (checksumOn) {
        const auto c = Comm_CalcCRC(frame);
        frame[text.size() + 2] = c[0];
        frame[text.size() + 3] = c[1];
    }
    return frame;
}

std::optional<QByteArray> BuildReplyFrame(char status, const QByteArray& data)
{
    if (data.size() > kMaxReplyDataLength)
        return std::nullopt;
    QByteArray frame;
    frame.reserve(data.size() + 5);
    frame.append(kFrameStart);
    frame.append(static_cast<char>(0x23 + 1 + data.size()));
    frame.append(status);
    frame.append(data);
    frame.append(2, '\0');
    const auto c = Comm_CalcCRC(frame);
    frame[frame.size() - 2] = c[0];
    frame[frame.size() - 1] = c[1];
    return frame;
}

quint16 StatusForReplyChar(char status)
{
    switch (status) {
    case 'A':
        return 0;
    case 'B':
        return 3;
    case 'C':
        return 4;
    case 'D':
        return 5;
    case 'E':
        return 6;
    default:
        return 5;
    }
}

// ---- RxMachine

namespace {
// Marks "frame complete or dropped": bytes are discarded until a start byte.
constexpr int kDone = -1;
} // namespace

void RxMachine::reset()
{
    buffer_.clear();
    index_ = 0;
}

std::optional<RxMachine::Frame> RxMachine::feed(char byte)
{
    const auto b = static_cast<quint8>(byte);
    if (b == 0)
        return std::nullopt;
    if (byte == kFrameStart) {
        buffer_.clear();
        index_ = 1;
        return std::nullopt;
    }
    if (index_ <= 0)
        return std::nullopt;
    if (index_ == 1) {
        if (b <= 2)
            return std::nullopt;
        const int upper = b - 32; // last index of the frame
        if (upper < 3) {
            // Too short to hold even its own checksum: a broken frame.
            index_ = kDone;
            return Frame{};
        }
        buffer_ = QByteArray(upper + 1, '\0');
        buffer_[0] = kFrameStart;
        buffer_[1] = byte;
        index_ = 2;
        return std::nullopt;
    }
    const int upper = static_cast<int>(buffer_.size()) - 1;
    buffer_[index_] = byte;
    if (index_ < upper) {
        ++index_;
        return std::nullopt;
    }
    index_ = kDone;
    Frame f;
    const auto c = Comm_CalcCRC(buffer_);
    f.checksumOk = c[0] == buffer_.at(upper - 1) && c[1] == buffer_.at(upper);
    f.status = buffer_.at(2);
    if (upper >= 4)
        f.data = buffer_.mid(3, upper - 4);
    return f;
}

// ---- CommandFrameParser

void CommandFrameParser::reset()
{
    buffer_.clear();
    expected_ = 0;
}

std::optional<CommandFrameParser::Command> CommandFrameParser::feed(char byte)
{
    if (buffer_.isEmpty()) {
        if (byte == kFrameStart)
            buffer_.append(byte);
        return std::nullopt;
    }
    if (buffer_.size() == 1) {
        const auto b = static_cast<quint8>(byte);
        if (byte == kFrameStart)
            return std::nullopt; // a fresh start: keep waiting for the length
        if (b < 0x22) {          // not a length character: resynchronise
            reset();
            return std::nullopt;
        }
        buffer_.append(byte);
        expected_ = b - 0x22 + 4;
        return std::nullopt;
    }
    buffer_.append(byte);
    if (buffer_.size() < expected_)
        return std::nullopt;
    Command cmd;
    const qsizetype n = buffer_.size() - 4;
    cmd.text = buffer_.mid(2, n);
    const char c1 = buffer_.at(n + 2);
    const char c2 = buffer_.at(n + 3);
    if (c1 == 0 && c2 == 0) {
        cmd.checksum = Checksum::Off;
    } else {
        const auto c = Comm_CalcCRC(buffer_);
        cmd.checksum = (c[0] == c1 && c[1] == c2) ? Checksum::Ok : Checksum::Bad;
    }
    reset();
    return cmd;
}
