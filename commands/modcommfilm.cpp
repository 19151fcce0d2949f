#include "commands/modcommfilm.h"

#include "commands/commtransaction.h"
#include "commands/replyfields.h"
#include "link/modcomm.h"

#include <QStringList>

#include <array>

namespace {

using F = FilmRecord;

// The numeric groups and their item counts.
struct Group {
    int number;
    int count;
};
constexpr std::array<Group, 3> kGroups = {{{2, 9}, {3, 11}, {4, 8}}};

bool validFilm(int f)
{
    return f >= 1 && f <= MaxFilms;
}

const WireItem<F>* row(int item)
{
    return wire::find<F>(FilmItems(), item);
}

QString groupHead(int group, int film)
{
    return QStringLiteral("A") + Dec(group) + QLatin1Char(' ') + Dec(film);
}

// Reads one numeric group reply into rec; false when a field is outside the format.
bool parseGroup(const Group& g, const QString& reply, FilmRecord& rec)
{
    const ReplyFields fields(reply);
    for (int i = 1; i <= fields.count() && i <= g.count; ++i) {
        if (!wire::decode(*row(g.number * 100 + i), rec, fields.value(i), NumberRule::Strict))
            return false;
    }
    return true;
}

qint16 getWhole(int film)
{
    const auto name = Transact(QStringLiteral("A1 ") + Dec(film) + QLatin1Char('?'));
    if (!name)
        return -1;
    Model().FilmTable[film].Film_Name = name->trimmed();

    for (const Group& g : kGroups) {
        QString command = groupHead(g.number, film) + QLatin1Char('?');
        for (int i = 1; i <= g.count; ++i)
            command += QLatin1Char(' ') + Dec(i);
        const auto reply = Transact(command);
        if (!reply)
            return -1;
        FilmRecord rec = Model().FilmTable[film];
        if (!parseGroup(g, *reply, rec)) {
            FailBadData();
            return -1;
        }
        Model().FilmTable[film] = rec;
    }
    return 0;
}

qint16 getOne(int film, int item)
{
    if (item == FilmNameItem) {
        const auto name = Transact(QStringLiteral("A1 ") + Dec(film) + QLatin1Char('?'));
        if (!name)
            return -1;
        Model().FilmTable[film].Film_Name = name->trimmed();
        return 0;
    }
    const auto reply = Transact(groupHead(item / 100, film) + QStringLiteral("? ") + Dec(item % 100));
    if (!reply)
        return -1;
    if (!wire::decode(*row(item), Model().FilmTable[film], ReplyFields(*reply).field(1),
                      NumberRule::Strict)) {
        FailBadData();
        return -1;
    }
    return 0;
}

} // namespace

qint16 Film_Get(int film, int item)
{
    if (!validFilm(film) || (item != 0 && item != FilmNameItem && !row(item))) {
        FailBadData();
        return -1;
    }
    return item == 0 ? getWhole(film) : getOne(film, item);
}

qint16 Film_Set(int film, int item)
{
    if (!validFilm(film) || item != 0)
        return FailBadData();
    const FilmRecord& rec = Model().FilmTable[film];

    // Build every command first: a value that does not fit sends nothing.
    QStringList commands{QStringLiteral("A1 ") + Dec(film) + QLatin1Char(' ') +
                         rec.Film_Name.text().trimmed()};
    for (const Group& g : kGroups) {
        QString command = groupHead(g.number, film);
        for (int i = 1; i <= g.count; ++i) {
            const auto v = wire::encode(*row(g.number * 100 + i), rec);
            if (!v)
                return FailBadData();
            command += QLatin1Char(' ') + Dec(i) + QLatin1Char(',') + Dec(*v);
        }
        commands << command;
    }
    for (const QString& command : commands) {
        Comm_SendCommand(command);
        const qint16 status = Comm_GetStatus();
        if (status != linkstatus::Ok)
            return status;
    }
    return linkstatus::Ok;
}
