#include "support/modconfig.h"

#include "support/cfile.h"
#include "support/config.h"
#include "support/modfileutil.h"
#include "support/numbers.h"
#include "support/programfolder.h"
#include "support/supportlogging.h"

#include <optional>
#include <variant>

namespace {

enum class Conversion {
    Text,         // taken as it is
    FileName,     // text; written by the bare-name rule
    Integer,      // strict 16-bit conversion, fractions rounded half to even
    RoundedNumber // single-precision number first, then rounded the same way
};

struct IniKey {
    const char* section;
    const char* key;
    Conversion conversion;
    std::variant<QString AppConfig::*, qint16 AppConfig::*> value;
    bool written = true;
    const char* absent = nullptr; // text for a missing key when not the AppConfig default
};

// Every key, in the order it is read and written.
const IniKey kKeys[] = {
    {"Database", "File", Conversion::FileName, &AppConfig::DBFileName},
    {"Database", "Debug", Conversion::Integer, &AppConfig::DebugDump, false},
    {"CommSettings", "Type", Conversion::Integer, &AppConfig::CommType},
    {"CommSettings", "RS232Port", Conversion::Integer, &AppConfig::RS232Port},
    {"CommSettings", "RS232Device", Conversion::Text, &AppConfig::RS232Device},
    {"CommSettings", "USBDevice", Conversion::Text, &AppConfig::USBDevice},
    {"CommSettings", "EPort", Conversion::Text, &AppConfig::EPort},
    {"CommSettings", "EAddress", Conversion::Text, &AppConfig::EAddress},
    {"CommSettings", "CheckSum", Conversion::Integer, &AppConfig::CheckSumOn},
    {"CommSettings", "UpDnProcesses", Conversion::Integer, &AppConfig::UpDnProcesses},
    {"CommSettings", "UpDnSystem", Conversion::Integer, &AppConfig::UpDnSystem},
    {"CommSettings", "UpDnMaterials", Conversion::Integer, &AppConfig::UpDnMaterials},
    {"CommSettings", "AutoReconnect", Conversion::Integer, &AppConfig::AutoReconnect, true, "1"},
    {"DataLog", "File", Conversion::FileName, &AppConfig::LogFileName},
    {"DataLog", "Type", Conversion::Integer, &AppConfig::LogType},
    {"DataLog", "Start", Conversion::RoundedNumber, &AppConfig::LogStart},
    {"DataLog", "End", Conversion::RoundedNumber, &AppConfig::LogEnd},
    {"DataLog", "Interval", Conversion::Integer, &AppConfig::LogInterval},
    {"Graph", "Display", Conversion::Integer, &AppConfig::Display},
    {"RunHistory", "RunHistory", Conversion::Integer, &AppConfig::RunHistory},
    {"RunHistory", "KeepDays", Conversion::Integer, &AppConfig::RunHistoryDays},
    {"Remote", "HttpPort", Conversion::Text, &AppConfig::HttpPort},
    {"Remote", "HttpBind", Conversion::Text, &AppConfig::HttpBind},
    {"Remote", "HttpToken", Conversion::Text, &AppConfig::HttpToken},
    {"Remote", "InstrumentName", Conversion::Text, &AppConfig::InstrumentName},
};

std::optional<qint16> convert(Conversion conversion, const QString& text)
{
    if (conversion == Conversion::Integer)
        return TextToInt16(text);
    const std::optional<double> number = StrictNumber(text);
    if (!number)
        return std::nullopt;
    return RoundToInt16(static_cast<double>(static_cast<float>(*number)));
}

void readKey(cFile& ini, const IniKey& k, AppConfig& config)
{
    static const AppConfig defaults;
    const QString section = QLatin1String(k.section);
    const QString key = QLatin1String(k.key);
    if (const auto* text = std::get_if<QString AppConfig::*>(&k.value)) {
        config.*(*text) = ini.ReadIniStr(section, key, defaults.*(*text), 0);
        return;
    }
    const auto number = std::get<qint16 AppConfig::*>(k.value);
    const qint16 fallback = k.absent ? qint16(QByteArray(k.absent).toShort()) : defaults.*number;
    const QString raw = ini.ReadIniStr(section, key, QString::number(fallback), 0);
    const std::optional<qint16> value = convert(k.conversion, raw);
    if (!value)
        qCWarning(lcSupport) << "configuration key" << section << key << "is not a 16-bit number:" << raw
                             << "- using" << fallback;
    config.*number = value.value_or(fallback);
}

} // namespace

QString IniFilePath()
{
    return ProgramFile(QStringLiteral("DCX700 Comm.ini"));
}

cFile& IniFile()
{
    static cFile file;
    return file;
}

void ReadINI(cFile& ini, AppConfig& config)
{
    for (const IniKey& k : kKeys)
        readKey(ini, k, config);

    // A database that is gone falls back to the usual one beside us.
    const QString usualDatabase = QStringLiteral("DCX700.mdb");
    if (!FileExists(config.DBFileName) && FileExists(usualDatabase))
        config.DBFileName = usualDatabase;
    // A log whose folder is gone is started afresh in the current folder.
    if (!FileExists(config.LogFileName))
        config.LogFileName = GetNamePart(config.LogFileName);
}

bool WriteINI(cFile& ini, const AppConfig& config, const QString& programFolder)
{
    bool ok = true;
    for (const IniKey& k : kKeys) {
        if (!k.written)
            continue;
        QString text;
        if (const auto* s = std::get_if<QString AppConfig::*>(&k.value))
            text = k.conversion == Conversion::FileName ? ConfigFileNameText(config.*(*s), programFolder)
                                                        : config.*(*s);
        else
            text = QString::number(config.*std::get<qint16 AppConfig::*>(k.value));
        if (ini.WriteIniStr(QLatin1String(k.section), QLatin1String(k.key), text) == 0)
            ok = false;
    }
    return ok;
}

void ReadINI()
{
    IniFile().setFileName(IniFilePath());
    if (IniFile().FileName().isEmpty())
        qCInfo(lcSupport) << "no configuration file" << IniFilePath() << "- running on defaults";
    ReadINI(IniFile(), Config());
}

bool WriteINI()
{
    return WriteINI(IniFile(), Config(), ProgramFolder());
}

QString ConfigFileNameText(const QString& fileName, const QString& programFolder)
{
    if (fileName.isEmpty())
        return fileName;
    const QString folder = GetPathPart(ConvertPathToUNC(GetShortFileName(fileName)));
    QString home = ConvertPathToUNC(programFolder);
    if (!home.endsWith(QLatin1Char('/')))
        home += QLatin1Char('/');
    if (folder == home)
        return GetNamePart(fileName);
    return fileName;
}
