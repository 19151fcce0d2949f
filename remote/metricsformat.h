#ifndef DCX_REMOTE_METRICSFORMAT_H
#define DCX_REMOTE_METRICSFORMAT_H

#include <QByteArray>
#include <QString>

struct RemoteState;

// The Prometheus text exposition of one state. Every sample carries the label
// instrument="<instrument>" so that several coaters share one Prometheus.
// Values are in base units: Å become metres, percent become ratios.
// Readings appear only once a readings cycle has succeeded.
QByteArray FormatMetrics(const RemoteState& s, const QString& instrument, const QString& version);

// The content type of that format.
inline constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

#endif
