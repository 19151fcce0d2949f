// Reply receive machine: any byte stream, then a good reply must still come
// through intact (a start byte always begins a fresh frame).

#include "fuzz/fuzzcheck.h"
#include "link/commframe.h"

namespace {

QByteArray frame(char status, const char* data)
{
    return *BuildReplyFrame(status, QByteArray(data));
}

} // namespace

std::vector<std::string> FuzzSeedInputs()
{
    std::vector<std::string> seeds;
    for (const QByteArray& f : {frame('A', ""), frame('A', "1 2.5 -3 4,55"), frame('B', ""), frame('D', "0"),
                                frame('A', "1,12.34 2,0.00 3,-1.5 4,100.0 5,7")})
        seeds.push_back(f.toStdString());
    seeds.push_back(seeds[1] + seeds[2]);
    seeds.push_back(std::string("\0\0!\x02!", 5) + seeds[0]);
    return seeds;
}

std::string FuzzDictionary()
{
    return std::string("!\0\x01\x02\x03\x22\x23\x24\xa1\xff A,", 13);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RxMachine rx;
    for (size_t i = 0; i < size; ++i) {
        const auto f = rx.feed(static_cast<char>(data[i]));
        FUZZ_CHECK(rx.index() >= -1 && rx.index() <= 256);
        if (f && f->checksumOk) {
            // A frame that passes its checksum rebuilds to the same frame.
            const auto again = BuildReplyFrame(f->status, f->data);
            FUZZ_CHECK(again.has_value());
            RxMachine fresh;
            std::optional<RxMachine::Frame> g;
            for (char c : *again)
                if (auto r = fresh.feed(c))
                    g = r;
            // Data holding a start or zero byte cannot travel; otherwise it must.
            if (!f->data.contains('!') && !f->data.contains('\0') && f->status != '!' && f->status != '\0') {
                FUZZ_CHECK(g.has_value() && g->checksumOk);
                FUZZ_CHECK(g->status == f->status && g->data == f->data);
            }
        }
    }
    // Whatever came before, a good reply is received whole.
    const QByteArray good = frame('A', "1 23.5 -0.25 4");
    std::optional<RxMachine::Frame> got;
    int frames = 0;
    for (char c : good) {
        if (auto r = rx.feed(c)) {
            got = r;
            ++frames;
        }
    }
    FUZZ_CHECK(frames == 1 && got && got->checksumOk);
    FUZZ_CHECK(got->status == 'A' && got->data == QByteArray("1 23.5 -0.25 4"));
    return 0;
}
