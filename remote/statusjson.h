#ifndef DCX_REMOTE_STATUSJSON_H
#define DCX_REMOTE_STATUSJSON_H

#include <QJsonObject>

struct ReadingsRecord;
struct RemoteState;

// The object of "dcx700ctl status --json": the decoded values as numbers.
QJsonObject StatusJson(const ReadingsRecord& r);

// StatusJson plus the link and the current run, for /api/status.
QJsonObject RemoteStatusJson(const RemoteState& s);

#endif
