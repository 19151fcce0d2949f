#include "runlog/logwriter.h"

#include <QFile>

std::optional<LogWriteError> AppendLogText(const QString& fileName, const QString& text)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return LogWriteError{
            int(f.error()),
            QStringLiteral("Cannot open the log file \"%1\": %2").arg(fileName, f.errorString())};
    }
    QByteArray bytes = text.toUtf8();
    bytes.append("\r\n");
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        const LogWriteError e{
            int(f.error()),
            QStringLiteral("Cannot write to the log file \"%1\": %2").arg(fileName, f.errorString())};
        f.close();
        return e;
    }
    f.close();
    if (f.error() != QFileDevice::NoError)
        return LogWriteError{
            int(f.error()),
            QStringLiteral("Cannot write to the log file \"%1\": %2").arg(fileName, f.errorString())};
    return std::nullopt;
}
