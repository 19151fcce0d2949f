#ifndef DCX_HISTORY_SAMPLECODEC_H
#define DCX_HISTORY_SAMPLECODEC_H

#include "commands/readingsrecord.h"

#include <QByteArray>

// The 28 values of one tick (rate, deviation, thickness, power of each output;
// rate, thickness, frequency of each sensor) packed for the archive. The
// instrument sends decimals of at most three places, so each value is kept as
// a varint of thousandths; any value that does not survive that exactly is
// kept as its 8 raw bytes, so decoding always gives back the same double.

QByteArray EncodeSampleValues(const ReadingsRecord& r);
// Fills the value fields of r; false (r partly filled) on a short or bad blob.
bool DecodeSampleValues(const QByteArray& blob, ReadingsRecord& r);

#endif
