#include "sim/simcontrol.h"

#include "sim/siminstrument.h"

#include <QStringList>

#include <functional>
#include <map>
#include <optional>

namespace {

struct Verb {
    int args; // number of arguments required
    const char* usage;
    std::function<QString(SimInstrument&, const QStringList&)> run;
};

std::optional<int> count(const QString& s)
{
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok || v < 0)
        return std::nullopt;
    return v;
}

std::optional<double> number(const QString& s)
{
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || v < 0)
        return std::nullopt;
    return v;
}

const QString kOk = QStringLiteral("ok");

// Counted faults share one shape: a verb and a non-negative count.
Verb counted(const char* usage, void (SimFaults::*set)(int))
{
    return {1, usage, [set](SimInstrument& s, const QStringList& a) -> QString {
                const auto n = count(a[0]);
                if (!n)
                    return {};
                (s.faults().*set)(*n);
                return kOk;
            }};
}

const std::map<QString, Verb>& verbs()
{
    static const std::map<QString, Verb> table{
        {"delay", counted("delay MS", &SimFaults::setDelayMs)},
        {"drop", counted("drop N", &SimFaults::dropNext)},
        {"corrupt", counted("corrupt N", &SimFaults::corruptNext)},
        {"garbage", counted("garbage N", &SimFaults::garbageNext)},
        {"bad-field", counted("bad-field N", &SimFaults::badFieldNext)},
        {"close-after", counted("close-after N", &SimFaults::closeAfter)},
        {"drop-rate",
         {1, "drop-rate F (0..1)",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const auto f = number(a[0]);
              if (!f || *f > 1)
                  return {};
              s.faults().setDropRate(*f);
              return kOk;
          }}},
        {"answer",
         {2, "answer B|C|D|E N",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const QString st = a[0].toUpper();
              const auto n = count(a[1]);
              if (st.size() != 1 || !QStringLiteral("BCDE").contains(st) || !n)
                  return {};
              s.faults().answerNext(st.at(0).toLatin1(), *n);
              return kOk;
          }}},
        {"crystal-fail",
         {1, "crystal-fail SENSOR (1..4)",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const auto n = count(a[0]);
              if (!n || *n < 1 || *n > 4)
                  return {};
              s.run().failCrystal(*n - 1);
              return kOk;
          }}},
        {"crystal-new",
         {1, "crystal-new SENSOR (1..4)",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const auto n = count(a[0]);
              if (!n || *n < 1 || *n > 4)
                  return {};
              s.run().replaceCrystal(*n - 1);
              return kOk;
          }}},
        {"close",
         {0, "close",
          [](SimInstrument& s, const QStringList&) -> QString {
              s.requestClose();
              return kOk;
          }}},
        {"unplug",
         {1, "unplug SECONDS",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const auto x = number(a[0]);
              if (!x)
                  return {};
              s.unplug(*x);
              return kOk;
          }}},
        {"clear",
         {0, "clear",
          [](SimInstrument& s, const QStringList&) -> QString {
              s.faults().clear();
              return kOk;
          }}},
        {"seed",
         {1, "seed N",
          [](SimInstrument& s, const QStringList& a) -> QString {
              bool ok = false;
              const uint v = a[0].toUInt(&ok);
              if (!ok)
                  return {};
              s.reseed(v);
              return kOk;
          }}},
        {"speed",
         {1, "speed X (> 0)",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const auto x = number(a[0]);
              if (!x || *x <= 0)
                  return {};
              s.setSpeed(*x);
              return kOk;
          }}},
        {"advance",
         {1, "advance SECONDS",
          [](SimInstrument& s, const QStringList& a) -> QString {
              const auto x = number(a[0]);
              if (!x)
                  return {};
              s.advance(*x);
              return kOk;
          }}},
        {"show",
         {0, "show",
          [](SimInstrument& s, const QStringList&) -> QString {
              const SimRun& r = s.run();
              return QStringLiteral("ok phase %1, process %2, layer %3, elapsed %4 s, speed %5, seed %6; %7")
                  .arg(r.phase())
                  .arg(r.runProcess())
                  .arg(r.runLayer())
                  .arg(r.elapsed(), 0, 'f', 1)
                  .arg(s.speed())
                  .arg(s.seed())
                  .arg(s.faults().describe());
          }}},
        {"help",
         {0, "help",
          [](SimInstrument&, const QStringList&) -> QString {
              return QStringLiteral("ok ") + SimControl::help();
          }}},
    };
    return table;
}

} // namespace

QString SimControl::help()
{
    return QStringLiteral(
        "commands: delay MS | drop N | drop-rate F | corrupt N | answer B|C|D|E N | garbage N | "
        "bad-field N | close | close-after N | unplug S | crystal-fail S | crystal-new S | clear | seed N | "
        "speed X | "
        "advance S | show | help");
}

QString SimControl::execute(const QString& line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("error: empty command");
    const auto it = verbs().find(words.front().toLower());
    if (it == verbs().end())
        return QStringLiteral("error: unknown command \"%1\"; try help").arg(words.front());
    const Verb& v = it->second;
    const QStringList args = words.mid(1);
    QString answer;
    if (args.size() == v.args)
        answer = v.run(instrument_, args);
    if (answer.isEmpty())
        return QStringLiteral("error: usage: %1").arg(QLatin1String(v.usage));
    return answer;
}
