#ifndef DCX_LINK_MODCOMM_H
#define DCX_LINK_MODCOMM_H

#include "link/transport.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>

class CommNotifier;
class InProcessPeer;

// The instrument link: one command, one reply, one status.
//
// Every transaction goes through Comm_SendCommand. Afterwards the caller reads
// Comm_GetStatus(): 0 accepted, 1 timeout, 3..6 refused by the instrument,
// 7 checksum error, 9 another transaction is still waiting for its reply.
// The reply wait runs window events (timers, data; user input waits until it
// returns, see support/waitguard.h) in a local event loop; a Comm_SendCommand
// made from inside such an event returns "" at once with status 9 and sends
// nothing.
//
// The transport comes from Config(): CommType 0 RS-232 (RS232Port 1..9 =
// /dev/ttyS0..8, or RS232Device when not empty), 1 USB (USBDevice = the serial
// number), 2 Ethernet (EAddress:EPort). CheckSumOn >= 1 puts checksums on
// outgoing frames; replies are always checked.
//
// Time comes from appClock(). With a FakeClock installed the 1.0 s reply
// timeout passes only when the test advances the clock (a peer that never
// answers needs a timer in the test that does so); replies still arrive
// through the event loop as usual.
//
// Tests, the simulator and other tools can bypass Config().CommType:
//   Comm_UseInProcessPeer(&peer);   // every frame goes to peer, replies come back
//   Comm_SetTransportOverride(std::make_unique<MyTransport>());
// While an override is installed Comm_Connect only checks it is open and
// identifies the instrument with "@"; Comm_SendCommand writes to it. Pass
// nullptr to go back to the configured transport. Comm_ResetLink() drops the
// override, closes every transport and clears the link state (between tests).

using LinkStatus = qint16;

namespace linkstatus {
constexpr LinkStatus Ok = 0;
constexpr LinkStatus Timeout = 1;
constexpr LinkStatus NoData = 2;
constexpr LinkStatus NotReady = 3;
constexpr LinkStatus BadCommand = 4;
constexpr LinkStatus BadData = 5;
constexpr LinkStatus BadMode = 6;
constexpr LinkStatus ChecksumError = 7;
constexpr LinkStatus PortNotReady = 8;
constexpr LinkStatus Busy = 9;
constexpr LinkStatus Unknown = 10;
} // namespace linkstatus

// The reply timeout and the TCP connect wait; both end only once strictly
// more than this has passed on appClock().
inline constexpr qint64 kReplyTimeoutMs = 1000;
inline constexpr qint64 kConnectWaitMs = 1000;

// One transaction: the reply data, trimmed of blanks, when the status after it
// is 0; "" otherwise. Command text travels as Latin-1; a text longer than 221
// characters is refused without sending (status 5).
QString Comm_SendCommand(const QString& command);

LinkStatus Comm_GetStatus();
void Comm_SetStatus(LinkStatus code);
// "" for 0, "Timeout", "No Data", "Not Ready", "Bad Command", "Bad Data",
// "Bad Mode", "Checksum Error", "Port Not Ready", "Instrument Busy", and
// "Unknown Error" for any other code.
QString Comm_ErrorText(LinkStatus code);

bool Comm_Online();
// Data of the last accepted reply to "@" (untrimmed).
QString Comm_InstrumentID();
// The last command frame sent, as bytes.
QByteArray Comm_LastFrame();

// Feeds one received byte to the receive state machine; a completed frame
// sets the status (and Online, the reply data, the instrument ID).
void Comm_RxByte(char byte);

// Opens the configured transport and identifies the instrument with "@".
// Sets the caption through Comm_Notifier(); on failure asks for the settings
// window and shows "Instrument not found." through dialogs(). Returns Online.
// A call made while a connect is running returns false at once.
bool Comm_Connect();
// Comm_Connect without a word to the operator: no caption change on failure,
// no settings window, no message. For healing a link that answered before;
// the transport is closed and opened again (a USB instrument is looked up by
// its serial number anew, a serial device reopened).
bool Comm_Reconnect();

// Opens serial port 1..9 at 19200 8N1 (RS232Device, when set, replaces the
// port's device path); false when it cannot be opened. A number outside 1..9
// does nothing and returns true.
bool Comm_OpenRS232(int port);
bool Comm_CloseRS232();
// The port number last given to Comm_OpenRS232 (0 = none yet: connect then
// opens Config().RS232Port).
int Comm_SerialPortNumber();
bool Comm_SerialPortOpen();
// The device path of port 1..9: RS232Device when set, else /dev/ttyS<port-1>.
QString Comm_SerialDevicePath(int port);

// Lists USB instruments (product id "8292"), at most 8, and reports whether
// the one with serialNumber (case-insensitive) is among them. The device
// found is left closed; any open USB device is closed first.
bool Comm_FindDCX700(const QString& serialNumber);
// Whether a USB connect whose serial number is not attached adopts the only
// instrument that is (on by default, as the program does). Tools that must
// reach exactly the instrument they name turn it off. Comm_ResetLink turns it
// back on.
void Comm_SetAdoptLoneUsb(bool adopt);
// Serial numbers found by the last search, in the order found.
QStringList Comm_USBList();
int Comm_USBCount();

// Closes every transport (the settings window changed the transport, or the
// program ends).
void Comm_CloseTransports();

// Caption and settings-window requests of the connect procedure.
CommNotifier& Comm_Notifier();

// Seams (see the header comment).
void Comm_UseInProcessPeer(InProcessPeer* peer);
void Comm_SetTransportOverride(std::unique_ptr<Transport> transport);
void Comm_ResetLink();

// Number of transactions that ended with status 0 since the program started
// (lets a caller tell whether anything succeeded between two events).
quint64 Comm_AcceptedCount();

#endif
