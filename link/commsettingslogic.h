#ifndef DCX_LINK_COMMSETTINGSLOGIC_H
#define DCX_LINK_COMMSETTINGSLOGIC_H

#include <QString>
#include <QStringList>

// The logic of the communications settings window, without its widgets: it
// edits the link settings of Config() directly, searches for the instrument
// and sends test commands. The window (frmcomm.h) maps its controls onto it.

// What the settings window asks of the main window. The main window installs
// itself with setCommSettingsHost; without a host these requests do nothing.
class CommSettingsHost {
public:
    virtual ~CommSettingsHost();
    // The window opened: the update timer stops.
    virtual void stopUpdates() = 0;
    // The window closed: process list and operate buttons enabled again, the
    // manual power sliders enabled while the link is online, timer restarted.
    virtual void resumeUpdates() = 0;
    // Find reached the instrument: refill the process list from it.
    virtual void reloadProcesses() = 0;
};

CommSettingsHost* commSettingsHost();
void setCommSettingsHost(CommSettingsHost* host);

// Which transport's controls are shown for CommType 0, 1, 2.
struct CommControlsShown {
    bool rs232 = false;    // cboRS232
    bool usb = false;      // cboUSB
    bool ethernet = false; // txtEport, txtEAddr, lblPort, lblEAddress
    bool operator==(const CommControlsShown&) const = default;
};
CommControlsShown ControlsForCommType(int commType);

// The nine RS-232 entries, each naming the device it opens:
// "COM1 (/dev/ttyS0)" .. "COM9 (/dev/ttyS8)", or RS232Device when set.
QStringList RS232Entries();
// The entry of a port number: port - 1, or -1 (none) below 1 or above 9.
int RS232EntryIndex(int port);

// The USB list: the first count serial numbers found (at most 8), with the
// first entry that begins with device (ignoring case) selected, else the
// first entry; -1 for an empty list.
struct UsbListContents {
    QStringList entries;
    int selected = -1;
};
UsbListContents UsbListFor(const QStringList& found, int count, const QString& device);

class CommSettingsLogic {
public:
    // Values the window shows when it opens.
    struct Shown {
        int rs232Index = -1;
        QString ePort;
        QString eAddress;
        bool checksum = false;
        int commType = 0;
    };

    // Stops the main window's updates and gives the values to show. The
    // loading state lasts until endLoad(): the handlers below then change
    // nothing, as the window fills its controls.
    Shown beginLoad();
    void endLoad() { loading_ = false; }
    bool loading() const { return loading_; }

    // Option button i: CommType = i and the controls to show. Choosing
    // RS-232 (not while loading) reopens the serial port with RS232Port.
    CommControlsShown selectCommType(int commType);
    // RS-232 entry index chosen: the port is reopened as index + 1.
    void selectRS232(int index);
    // USB serial number chosen.
    void selectUSB(const QString& serialNumber);
    void setChecksum(bool on);
    // Taken as typed; they matter at the next connect.
    void setEPort(const QString& text);
    void setEAddress(const QString& text);
    // The USB list from the last search.
    UsbListContents usbList() const;

    // Connects to the instrument. Returns false without doing anything while
    // a search is already running. On success the reply is the instrument's
    // identification and the main window reloads its process list.
    struct FindResult {
        bool ran = false;
        bool online = false;
        QString reply;
    };
    FindResult find();
    bool finding() const { return finding_; }

    // Sends any text as a command: the reply data, or the status text when
    // the instrument did not accept it.
    QString send(const QString& text);

    // The window closes: the main window resumes its updates.
    void unload();

private:
    bool loading_ = false;
    bool finding_ = false;
};

#endif
