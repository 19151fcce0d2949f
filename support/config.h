#ifndef DCX_SUPPORT_CONFIG_H
#define DCX_SUPPORT_CONFIG_H

#include <QString>

// The program-wide configuration values. Read once at start from
// "DCX700 Comm.ini" (ReadINI), changed in memory by the settings windows and
// written once at close (WriteINI). Defaults are those used for a missing key.
struct AppConfig {
    // [Database]
    QString DBFileName = QStringLiteral("DCX700.mdb");
    qint16 DebugDump = 0;
    // [CommSettings]
    qint16 CommType = 0;  // 0 RS-232, 1 USB, 2 Ethernet
    qint16 RS232Port = 1; // 1..9 = COM1..COM9 = /dev/ttyS0../dev/ttyS8
    QString RS232Device;  // non-empty: device path used instead of the port mapping
    QString USBDevice = QStringLiteral("0");
    QString EPort = QStringLiteral("2101");
    QString EAddress = QStringLiteral("192.168.1.200");
    qint16 CheckSumOn = 1;
    qint16 UpDnProcesses = 0;
    qint16 UpDnSystem = 0;
    qint16 UpDnMaterials = 0;
    // 1: the update loop brings a lost link back by itself, quietly. 0 here, so
    // a configuration built in code keeps the plain rule (a failed reconnect
    // asks the operator); a missing INI key gives 1.
    qint16 AutoReconnect = 0;
    // [DataLog]
    QString LogFileName = QStringLiteral("DCX700.txt");
    qint16 LogType = 0; // 0 none, 1 overwrite, 2 append
    qint16 LogStart = 0;
    qint16 LogEnd = 300;
    qint16 LogInterval = 1;
    // [Graph]
    qint16 Display = 0; // 0 rate, 1 deviation, 2 power, 3 sensor rate
    // [RunHistory]
    qint16 RunHistory = 1;     // 0: runs are not recorded into the run archive
    qint16 RunHistoryDays = 0; // runs older than this many days are deleted; 0 keeps all
    // [Remote]: the read-only HTTP face; checked when it starts
    QString HttpPort = QStringLiteral("0"); // 0 = off
    QString HttpBind = QStringLiteral("127.0.0.1");
    QString HttpToken;      // required beyond loopback
    QString InstrumentName; // the "instrument" label; empty = the identification
};

// The one program-wide configuration.
AppConfig& Config();

#endif
