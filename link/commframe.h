#ifndef DCX_LINK_COMMFRAME_H
#define DCX_LINK_COMMFRAME_H

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <optional>

// Byte format of the instrument protocol, both directions. Pure code: no I/O.
//
// Command frame (host to instrument), N command characters:
//   0x21 '!', length char 0x22 + N, N text bytes, checksum char 1, checksum char 2
// Reply frame (instrument to host), M = 1 + number of data characters:
//   0x21 '!', length char L = 0x23 + M, status char, data, checksum char 1, checksum char 2
//   (the whole reply is L - 31 bytes).
// The checksum covers the bytes from the length character up to the byte before
// the two checksum characters. It is a 14-bit CRC: start 0x3FFF, reflected
// polynomial 0x2001, result masked to 14 bits; each 7-bit half is sent + 0x22,
// so checksum characters lie in 0x22..0xA1 and never look like a start byte.

inline constexpr char kFrameStart = 0x21;
// The length character must fit in a byte: 0x22 + N <= 0xFF.
inline constexpr qsizetype kMaxCommandLength = 221;
// Reply data that still fits: 0x23 + 1 + D <= 0xFF.
inline constexpr qsizetype kMaxReplyDataLength = 219;

// The 14-bit CRC over [data, data + size).
quint16 FrameCRC(const char* data, qsizetype size);

// The two checksum characters for a CRC value.
std::array<char, 2> CrcChars(quint16 crc);

// The checksum characters of a whole frame (start, length char, ..., two checksum
// positions): computed over offsets 1 .. size - 3. Both are 0 when the length
// character is 0. frame must hold at least 4 bytes.
std::array<char, 2> Comm_CalcCRC(const QByteArray& frame);

// The command frame for text (Latin-1 bytes). With checksum off the two last
// bytes are zero. nullopt when the text is longer than kMaxCommandLength.
std::optional<QByteArray> BuildCommandFrame(const QByteArray& text, bool checksumOn);

// A reply frame as the instrument sends it (the checksum is always present).
// nullopt when data is longer than kMaxReplyDataLength.
std::optional<QByteArray> BuildReplyFrame(char status, const QByteArray& data);

// The link status that a reply status character maps to:
// 'A' 0, 'B' 3 "Not Ready", 'C' 4 "Bad Command", 'D' 5 "Bad Data", 'E' 6 "Bad Mode",
// anything else 5.
quint16 StatusForReplyChar(char status);

// Rebuilds a reply frame from single received bytes.
// - Zero bytes are ignored everywhere (they do not count toward the length).
// - A start byte (0x21) always begins a new frame, even in the middle of one.
// - A length character of 2 or less is ignored (the length is awaited again);
//   one between 0x03 and 0x22 cannot hold a frame: it is reported as a bad
//   frame (like a checksum error) and the next start byte is awaited.
// - After a completed frame further bytes are discarded until the next start byte.
class RxMachine {
public:
    struct Frame {
        bool checksumOk = false;
        char status = 0; // the status character (meaningful when checksumOk)
        QByteArray data; // the bytes between status and checksum
    };

    // Feeds one byte; returns the frame when this byte completes one (good or
    // bad checksum), nullopt otherwise.
    std::optional<Frame> feed(char byte);
    void reset();

    // 0 waiting for a start byte, 1 waiting for the length character, 2.. the
    // index of the next frame byte.
    int index() const { return index_; }

private:
    QByteArray buffer_; // the frame being rebuilt, sized from its length character
    int index_ = 0;
};

// Rebuilds command frames from a byte stream (the instrument's side of the link:
// simulators and test peers). Zero bytes are data here, since a frame sent with
// the checksum off ends in two zero bytes.
class CommandFrameParser {
public:
    enum class Checksum { Ok, Off, Bad };
    struct Command {
        QByteArray text;
        Checksum checksum = Checksum::Ok;
    };

    // Feeds one byte; returns the command when this byte completes a frame.
    std::optional<Command> feed(char byte);
    void reset();

private:
    QByteArray buffer_;
    int expected_ = 0; // total frame size once the length character is known
};

#endif
