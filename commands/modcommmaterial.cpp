#include "commands/modcommmaterial.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"
#include "store/model.h"
#include "support/dialogs.h"

#include <optional>

namespace {

bool validMaterial(int m)
{
    return m >= 1 && m <= MaxMaterials;
}

// Decimal text of a number as the prompts show it: "2.7", "0.39", "100".
QString numberText(double v)
{
    return QString::number(v, 'g', 15);
}

bool askRetry(const QString& text)
{
    return dialogs().message(text, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes;
}

struct NumericItem {
    double MaterialRecord::*field;
    int scale;
    double min; // accepted: min <= value < max
    double max;
    const char* label;
};

// Items 2 and 3.
const NumericItem kNumeric[2] = {
    {&MaterialRecord::Density, 100, 0.4, 100.0, " Density = "},
    {&MaterialRecord::ZFactor, 1000, 0.1, 10.0, " ZFactor = "},
};

qint16 getItem(int m, int item)
{
    const QString query = QStringLiteral("F") + Dec(m) + QStringLiteral("? ") + Dec(item);
    MaterialRecord& rec = Model().MaterialTable[m];
    for (;;) {
        const auto reply = Transact(query);
        if (!reply)
            return -1;
        const QString word = ReplyFields(*reply).field(1).trimmed();
        QString prompt;
        if (item == 1) {
            if (!word.isEmpty()) {
                rec.Material = word;
                return 0;
            }
            prompt = QStringLiteral("Material # ") + Dec(m) + QStringLiteral(" name upload failed.  Retry?");
        } else {
            const NumericItem& n = kNumeric[item - 2];
            const double value = LeadingNumber(word) / n.scale;
            if (value >= n.min && value < n.max) {
                rec.*n.field = value;
                return 0;
            }
            prompt = rec.Material.text() + QLatin1String(n.label) + numberText(value) +
                     QStringLiteral(" upload failed.  Retry?");
        }
        if (!askRetry(prompt))
            return 0;
    }
}

std::optional<QString> itemText(const MaterialRecord& rec, int item)
{
    if (item == 1)
        return rec.Material.text();
    const NumericItem& n = kNumeric[item - 2];
    const auto v = RoundToInt32(rec.*n.field * n.scale);
    if (!v)
        return std::nullopt;
    return Dec(*v);
}

qint16 setItem(int m, int item)
{
    for (;;) {
        const MaterialRecord& rec = Model().MaterialTable[m];
        const auto value = itemText(rec, item);
        if (!value)
            return FailBadData();
        const QString reply = Comm_SendCommand(QStringLiteral("F") + Dec(m) + QLatin1Char(' ') + Dec(item) +
                                               QLatin1Char(',') + *value);
        const qint16 status = Comm_GetStatus();
        if (status != linkstatus::Ok || reply.isEmpty())
            return status;
        QString prompt;
        if (item == 1) {
            prompt = rec.Material.text() + QStringLiteral(" material name download failed.  Retry?");
        } else {
            const NumericItem& n = kNumeric[item - 2];
            prompt = rec.Material.text() + QLatin1String(n.label) + numberText(rec.*n.field) +
                     QStringLiteral(" download failed.  Retry?");
        }
        if (!askRetry(prompt))
            return Comm_GetStatus();
    }
}

} // namespace

qint16 Material_Get(int material, int item)
{
    if (!validMaterial(material) || item < 0 || item > 3) {
        FailBadData();
        return -1;
    }
    if (item > 0)
        return getItem(material, item);
    for (int i = 1; i <= 3; ++i)
        if (getItem(material, i) != 0)
            return -1;
    return 0;
}

qint16 Material_Set(int material, int item)
{
    if (!validMaterial(material) || item < 0 || item > 3)
        return FailBadData();
    if (item > 0)
        return setItem(material, item);
    for (int i = 2; i <= 3; ++i) // nothing is sent when any value cannot be
        if (!itemText(Model().MaterialTable[material], i))
            return FailBadData();
    for (int i = 1; i <= 3; ++i) {
        const qint16 status = setItem(material, i);
        if (status != linkstatus::Ok)
            return status;
    }
    return linkstatus::Ok;
}
