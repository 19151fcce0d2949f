#include "sim/simcommands.h"

#include "sim/simmemory.h"
#include "sim/simrun.h"

#include <QList>

#include <optional>
#include <vector>

namespace {

constexpr char kAccepted = 'A';
constexpr char kBadCommand = 'C';
constexpr char kBadData = 'D';
constexpr char kBadMode = 'E';

SimReply status(char c)
{
    return SimReply{c, {}, false};
}

// A strict decimal integer: optional minus sign and digits, nothing else.
std::optional<qint32> toInt(const QByteArray& text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (!((c >= '0' && c <= '9') || (c == '-' && i == 0 && text.size() > 1)))
            return std::nullopt;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

// Names are printable text: control bytes would not survive a display or the state file.
bool printable(const QByteArray& name)
{
    for (const char c : name)
        if (quint8(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

QList<QByteArray> words(const QByteArray& text)
{
    QList<QByteArray> out;
    for (const QByteArray& w : text.split(' '))
        if (!w.isEmpty())
            out.append(w);
    return out;
}

// One numbered record family: where its items live and what they accept.
struct Family {
    int records = 0; // number of records; 0 for the single-record families
    int items = 0;
    bool nameItem = false; // item 1 is a 16-character name
    bool nameRequired = false;
    qint32* (*values)(SimMemory&, int record) = nullptr; // item n at [n]
    QByteArray* (*name)(SimMemory&, int record) = nullptr;
    ItemRange (*range)(int item) = nullptr;
};

const std::map<QByteArray, Family>& families()
{
    static const std::map<QByteArray, Family> table{
        {"C",
         {kSimProcesses, 4, true, false, [](SimMemory& m, int r) { return m.process(r).item.data(); },
          [](SimMemory& m, int r) { return &m.process(r).name; },
          [](int i) { return SimMemory::processRanges()[i]; }}},
        {"D",
         {kSimLayers, kLayerItems, false, false, [](SimMemory& m, int r) { return m.layer(r).item.data(); },
          nullptr, [](int i) { return SimMemory::layerRanges()[i]; }}},
        {"A2",
         {kSimFilms, kFilmGroupItems[0], false, false,
          [](SimMemory& m, int r) { return m.film(r).group[0].data(); }, nullptr,
          [](int i) { return SimMemory::filmRanges(2)[i]; }}},
        {"A3",
         {kSimFilms, kFilmGroupItems[1], false, false,
          [](SimMemory& m, int r) { return m.film(r).group[1].data(); }, nullptr,
          [](int i) { return SimMemory::filmRanges(3)[i]; }}},
        {"A4",
         {kSimFilms, kFilmGroupItems[2], false, false,
          [](SimMemory& m, int r) { return m.film(r).group[2].data(); }, nullptr,
          [](int i) { return SimMemory::filmRanges(4)[i]; }}},
        {"F",
         {kSimMaterials, 3, true, true, [](SimMemory& m, int r) { return m.material(r).item.data(); },
          [](SimMemory& m, int r) { return &m.material(r).name; },
          [](int i) { return SimMemory::materialRanges()[i]; }}},
        {"B",
         {0, kSystemItems, false, false, [](SimMemory& m, int) { return m.system().data(); }, nullptr,
          [](int i) { return SimMemory::systemRanges()[i]; }}},
        {"G",
         {0, kSimIoPoints, false, false, [](SimMemory& m, int) { return m.inputs().data(); }, nullptr,
          [](int) { return SimMemory::inputRange(); }}},
        {"H",
         {0, kSimIoPoints, false, false, [](SimMemory& m, int) { return m.relays().data(); }, nullptr,
          [](int) { return SimMemory::relayRange(); }}},
    };
    return table;
}

// Splits "12? 5" or " 3 1,25 2,5" into record number, query mark and the rest.
struct Addressed {
    int record = 1;
    bool query = false;
    QByteArray tail;
};

std::optional<Addressed> address(const QByteArray& rest, int records)
{
    Addressed a;
    qsizetype pos = 0;
    if (records > 0) {
        while (pos < rest.size() && rest.at(pos) == ' ')
            ++pos;
        const qsizetype start = pos;
        while (pos < rest.size() && rest.at(pos) >= '0' && rest.at(pos) <= '9')
            ++pos;
        const auto r = toInt(rest.mid(start, pos - start));
        if (!r || *r < 1 || *r > records)
            return std::nullopt;
        a.record = *r;
    }
    if (pos < rest.size() && rest.at(pos) == '?') {
        a.query = true;
        ++pos;
    }
    if (pos < rest.size() && rest.at(pos) != ' ')
        return std::nullopt;
    a.tail = rest.mid(pos);
    return a;
}

} // namespace

SimCommands::SimCommands(SimMemory& memory, SimRun& run) : memory_(memory), run_(run)
{
    auto bare = [](std::function<SimReply()> f) {
        return [f](const QByteArray& rest) { return rest.trimmed().isEmpty() ? f() : status(kBadCommand); };
    };
    handlers_["@"] = [this](const QByteArray&) { return SimReply{kAccepted, id_, false}; };
    handlers_["V"] = bare([this] { return SimReply{kAccepted, run_.statusReply(), false}; });
    handlers_["K1"] = bare([this] { return SimReply{kAccepted, run_.outputsReply(), false}; });
    handlers_["K2"] = bare([this] { return SimReply{kAccepted, run_.sensorsReply(), false}; });
    handlers_["E"] = bare([this] { return erase(); });
    handlers_["U"] = [this](const QByteArray& rest) { return operate(rest); };
    handlers_["T"] = [this](const QByteArray& rest) { return select(rest); };
    handlers_["S"] = [this](const QByteArray& rest) { return power(rest); };
    handlers_["A1"] = [this](const QByteArray& rest) { return filmName(rest); };
    for (const auto& [key, family] : families()) {
        const QByteArray k = key;
        handlers_[k] = [this, k](const QByteArray& rest) { return records(k, rest); };
    }
}

SimReply SimCommands::execute(const QByteArray& text)
{
    if (text.isEmpty())
        return status(kBadCommand);
    const bool twoLetters = (text.at(0) == 'A' || text.at(0) == 'K') && text.size() >= 2;
    const QByteArray key = text.left(twoLetters ? 2 : 1);
    const auto it = handlers_.find(key);
    if (it == handlers_.end())
        return status(kBadCommand);
    return it->second(text.mid(key.size()));
}

SimReply SimCommands::records(const QByteArray& key, const QByteArray& rest)
{
    const Family& f = families().at(key);
    const auto a = address(rest, f.records);
    if (!a)
        return status(kBadData);
    qint32* values = f.values(memory_, a->record);

    if (a->query) {
        const QList<QByteArray> ws = words(a->tail);
        std::vector<int> items;
        for (const QByteArray& w : ws) {
            const auto i = toInt(w);
            if (!i || *i < 1 || *i > f.items)
                return status(kBadData);
            items.push_back(*i);
        }
        if (items.empty()) {
            if (f.nameItem)
                return status(kBadData);
            for (int i = 1; i <= f.items; ++i)
                items.push_back(i);
        }
        if (items.size() == 1) {
            const int i = items.front();
            if (f.nameItem && i == 1)
                return SimReply{kAccepted, *f.name(memory_, a->record), false};
            return SimReply{kAccepted, QByteArray::number(values[i]), false};
        }
        QByteArray data;
        for (int i : items) {
            if (f.nameItem && i == 1)
                return status(kBadData);
            if (!data.isEmpty())
                data += ' ';
            data += QByteArray::number(i) + ',' + QByteArray::number(values[i]);
        }
        return SimReply{kAccepted, data, false};
    }

    // set: "i,value" fields; a name item takes the whole rest of the text
    const QByteArray tail = a->tail;
    qsizetype start = 0;
    while (start < tail.size() && tail.at(start) == ' ')
        ++start;
    if (start == tail.size())
        return status(kBadData);
    if (f.nameItem) {
        const qsizetype comma = tail.indexOf(',', start);
        if (comma > 0 && toInt(tail.mid(start, comma - start)) == 1) {
            const QByteArray name = tail.mid(comma + 1);
            if (name.size() > kSimNameLength || !printable(name) ||
                (f.nameRequired && name.trimmed().isEmpty()))
                return status(kBadData);
            *f.name(memory_, a->record) = SimMemory::name16(name);
            return SimReply{kAccepted, {}, true};
        }
    }
    std::vector<std::pair<int, qint32>> fields;
    for (const QByteArray& w : words(tail)) {
        const qsizetype comma = w.indexOf(',');
        if (comma < 0)
            return status(kBadData);
        const auto i = toInt(w.left(comma));
        const auto v = toInt(w.mid(comma + 1));
        if (!i || !v || *i < 1 || *i > f.items || (f.nameItem && *i == 1) || !f.range(*i).accepts(*v))
            return status(kBadData);
        fields.emplace_back(*i, *v);
    }
    for (const auto& [i, v] : fields)
        values[i] = v;
    return SimReply{kAccepted, {}, true};
}

SimReply SimCommands::filmName(const QByteArray& rest)
{
    const auto a = address(rest, kSimFilms);
    if (!a)
        return status(kBadData);
    if (a->query) {
        if (!a->tail.trimmed().isEmpty())
            return status(kBadData);
        return SimReply{kAccepted, memory_.film(a->record).name, false};
    }
    const QByteArray name = a->tail.trimmed();
    if (name.isEmpty() || name.size() > kSimNameLength || !printable(a->tail))
        return status(kBadData);
    memory_.film(a->record).name = SimMemory::name16(name);
    return SimReply{kAccepted, {}, true};
}

SimReply SimCommands::operate(const QByteArray& rest)
{
    const auto code = toInt(rest.trimmed());
    if (!code || !rest.startsWith(' '))
        return status(kBadData);
    return status(run_.operate(*code));
}

SimReply SimCommands::select(const QByteArray& rest)
{
    const auto n = toInt(rest.trimmed());
    if (!n || !rest.startsWith(' '))
        return status(kBadData);
    return status(run_.selectProcess(*n));
}

SimReply SimCommands::power(const QByteArray& rest)
{
    const QList<QByteArray> ws = words(rest);
    if (rest.startsWith(' ') || ws.isEmpty())
        return status(kBadData);
    const auto output = toInt(ws.at(0));
    if (!output)
        return status(kBadData);
    if (*output == 0)
        return ws.size() == 1 ? status(run_.setPower(0, 0)) : status(kBadData);
    if (ws.size() != 2)
        return status(kBadData);
    const auto tenths = toInt(ws.at(1));
    if (!tenths)
        return status(kBadData);
    return status(run_.setPower(*output, *tenths));
}

SimReply SimCommands::erase()
{
    if (run_.running())
        return status(kBadMode);
    memory_.eraseProcesses();
    return SimReply{kAccepted, {}, true};
}
