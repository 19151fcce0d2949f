#include "remote/statusjson.h"

#include "commands/readingsrecord.h"
#include "remote/remotestate.h"
#include "runlog/phasetext.h"

#include <QJsonArray>

QJsonObject StatusJson(const ReadingsRecord& r)
{
    QJsonArray outputs;
    QJsonArray sensors;
    for (size_t k = 0; k < 4; ++k) {
        outputs.append(QJsonObject{{"rate", r.OutRate[k]},
                                   {"deviation", r.OutDeviation[k]},
                                   {"thickness", r.OutThickness[k]},
                                   {"power", r.OutPower[k]}});
        sensors.append(QJsonObject{{"rate", r.SensorRate[k]},
                                   {"thickness", r.SensorThickness[k]},
                                   {"frequency", r.SensorFrequency[k]}});
    }
    return QJsonObject{{"phase", r.Phase},         {"phase_text", PhaseText(r.Phase)},
                       {"elapsed", r.ElapsedTime}, {"process", r.RunProcess},
                       {"layer", r.RunLayer},      {"outputs", outputs},
                       {"sensors", sensors}};
}

QJsonObject RemoteStatusJson(const RemoteState& s)
{
    QJsonObject o = StatusJson(s.readings);
    o.insert(QStringLiteral("link"), QJsonObject{{"up", s.linkUp},
                                                 {"status", s.linkStatus},
                                                 {"state", s.linkState},
                                                 {"reconnects", double(s.reconnects)},
                                                 {"seconds_without_link", s.secondsWithoutLink}});
    o.insert(QStringLiteral("instrument"), s.identification);
    o.insert(QStringLiteral("run_id"), s.runId.isEmpty() ? QJsonValue() : QJsonValue(s.runId));
    return o;
}
