// Record decoders of the command families: readings replies and the item
// tables of layers, films and the system record.

#include "commands/modcommdata.h"
#include "commands/modcommfilm.h"
#include "commands/modcommlayer.h"
#include "commands/modcommoperate.h"
#include "commands/modcommsystem.h"
#include "fuzz/fuzzcheck.h"

namespace {

ReadingsRecord sampleReadings()
{
    ReadingsRecord r;
    r.OutRate = {1.5, 2.5, 3.5, 4.5};
    r.SensorFrequency = {5.9e6, 5.8e6, 6e6, 0};
    r.Phase = 7;
    r.ElapsedTime = 12.5;
    r.RunProcess = 3;
    r.RunLayer = 2;
    r.StatusExtra = 1;
    return r;
}

// One item of the record decoded on its own: a refused value leaves the record
// as it was; an accepted one can be sent back.
template <typename Record>
void singleItems(std::span<const WireItem<Record>> items, const ReplyFields& fields)
{
    for (size_t i = 0; i < items.size(); ++i) {
        for (NumberRule rule : {NumberRule::Leading, NumberRule::Strict}) {
            Record rec{};
            const Record before = rec;
            const bool ok = wire::decodeReply(items, rec, fields, int(i + 1), rule);
            if (!ok)
                FUZZ_CHECK(rec == before);
            else
                FUZZ_CHECK(wire::encode(items[i], rec).has_value());
        }
    }
}

template <typename Record>
void wholeRecord(std::span<const WireItem<Record>> items, const ReplyFields& fields)
{
    for (NumberRule rule : {NumberRule::Leading, NumberRule::Strict}) {
        Record rec{};
        if (wire::decodeReply(items, rec, fields, 0, rule))
            for (const auto& row : items)
                FUZZ_CHECK(wire::encode(row, rec).has_value());
    }
}

} // namespace

std::vector<std::string> FuzzSeedInputs()
{
    return {"7 12.5 3 2 1",
            "0.0 1.5 0.1 12.345 45.5 2.5 -0.2 0.5 20.0 0 0 0 -1 0 0 0 -1",
            "0 1.5 1.234 5.98e6 2.5 0.5 5.97e6 0 0 0 0 0 0",
            "1,12.5 2,100 3,-4 4,0.25 5,1 6,0 7,3 8,1000 9,65535 10,2 11,0 12,1 13,5",
            "32767 65535 2147483647 -2147483648 1e10",
            "1,1 2,2 3,3 4,4 5,5 6,6 7,7 8,8 9,9 10,10 11,11 12,12 13,13 14,14 15,15 16,16 17,17 18,18 19,19 "
            "20,20 21,21 22,22 23,23 24,24"};
}

std::string FuzzDictionary()
{
    return " ,.-+e0123456789";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString reply = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));

    ReadingsRecord r = sampleReadings();
    const ReadingsRecord before = r;
    if (!ParseStatusReply(reply, r))
        FUZZ_CHECK(r == before);
    ParseOutputsReply(reply, r);
    ParseSensorsReply(reply, r);

    // Bounded: the item decoders are run once per item and rule.
    const ReplyFields fields(reply.left(2048));
    singleItems(LayerItems(), fields);
    singleItems(FilmItems(), fields);
    singleItems(SystemItems(), fields);
    wholeRecord(LayerItems(), fields);
    wholeRecord(FilmItems(), fields);
    wholeRecord(SystemItems(), fields);
    return 0;
}
