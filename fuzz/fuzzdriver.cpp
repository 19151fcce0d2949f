// Stand-alone driver for the libFuzzer-style harnesses, for builds without
// libFuzzer. Deterministic for a given seed, so a failure seen once is seen
// again.
//
//   fuzz_<target> [COUNT [SEED]]   COUNT inputs (default 10000), SEED default 1
//   fuzz_<target> FILE...          replays saved inputs
//
// On a crash or a failed property the input is written to crash-<target>.bin
// in the current folder and dumped as hex on stderr.

#include "fuzz/fuzzcheck.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace {

// The input being run, for the crash handler.
const std::string* g_current = nullptr;
const char* g_name = "fuzz";

void writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w <= 0)
            return;
        p += w;
        n -= size_t(w);
    }
}

void onCrash(int sig)
{
    if (g_current) {
        static const char hex[] = "0123456789abcdef";
        writeAll(2, "\ncrashing input (hex):\n", 23);
        for (size_t i = 0; i < g_current->size(); ++i) {
            const auto b = static_cast<unsigned char>((*g_current)[i]);
            const char out[3] = {hex[b >> 4], hex[b & 15], (i % 32 == 31) ? '\n' : ' '};
            writeAll(2, out, 3);
        }
        writeAll(2, "\n", 1);
        char path[256] = "crash-";
        std::strncat(path, g_name, sizeof path - 16);
        std::strcat(path, ".bin");
        std::FILE* f = std::fopen(path, "wb");
        if (f) {
            std::fwrite(g_current->data(), 1, g_current->size(), f);
            std::fclose(f);
            writeAll(2, "saved to ", 9);
            writeAll(2, path, std::strlen(path));
            writeAll(2, "\n", 1);
        }
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

class Generator {
public:
    Generator(uint64_t seed, std::vector<std::string> seeds, std::string dict)
        : rng_(seed), seeds_(std::move(seeds)), dict_(std::move(dict))
    {
        if (dict_.empty())
            dict_ = std::string("\0 \n\r,=[]!;#\x7f\xff", 13);
    }

    std::string next()
    {
        std::string s;
        const uint64_t kind = below(8);
        if (kind == 0 || seeds_.empty()) {
            s = random(below(64) == 0 ? 1024 : 96);
        } else {
            s = seeds_[below(seeds_.size())];
            const uint64_t rounds = 1 + below(kind == 7 ? 16 : 4);
            for (uint64_t r = 0; r < rounds; ++r)
                mutate(s);
        }
        return s;
    }

private:
    uint64_t below(uint64_t n) { return n == 0 ? 0 : rng_() % n; }

    char anyByte()
    {
        // Half the time a byte the parser cares about, else any byte.
        if (below(2) == 0)
            return dict_[below(dict_.size())];
        return static_cast<char>(below(256));
    }

    std::string random(uint64_t maxLen)
    {
        std::string s(below(maxLen + 1), '\0');
        for (char& c : s)
            c = anyByte();
        return s;
    }

    void mutate(std::string& s)
    {
        const size_t n = s.size();
        switch (below(9)) {
        case 0: // flip a bit
            if (n)
                s[below(n)] ^= static_cast<char>(1u << below(8));
            break;
        case 1: // replace a byte
            if (n)
                s[below(n)] = anyByte();
            break;
        case 2: // insert bytes
            s.insert(below(n + 1), std::string(1 + below(4), anyByte()));
            break;
        case 3: // erase a run
            if (n) {
                const size_t at = below(n);
                s.erase(at, 1 + below(std::min<size_t>(n - at, 8)));
            }
            break;
        case 4: // cut the tail
            s.resize(below(n + 1));
            break;
        case 5: // duplicate a run
            if (n) {
                const size_t at = below(n);
                const std::string run = s.substr(at, 1 + below(std::min<size_t>(n - at, 16)));
                s.insert(below(n + 1), run);
            }
            break;
        case 6: // splice with another seed
            if (!seeds_.empty()) {
                const std::string& o = seeds_[below(seeds_.size())];
                s = s.substr(0, below(n + 1)) + o.substr(below(o.size() + 1));
            }
            break;
        case 7: // an extreme byte
            if (n) {
                static const char extremes[] = {'\0', '\x01', '\x7f', '\x80', '\xff', '\x21', '\x22', '\xa1'};
                s[below(n)] = extremes[below(sizeof extremes)];
            }
            break;
        default: // a run of digits (numbers that overflow)
            s.insert(below(n + 1),
                     std::string(1 + below(below(16) == 0 ? 420 : 24), static_cast<char>('0' + below(10))));
            break;
        }
    }

    std::mt19937_64 rng_;
    std::vector<std::string> seeds_;
    std::string dict_;
};

int runOne(const std::string& input)
{
    g_current = &input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    g_current = nullptr;
    return 0;
}

bool isNumber(const char* s)
{
    if (!*s)
        return false;
    for (; *s; ++s)
        if (*s < '0' || *s > '9')
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* slash = std::strrchr(argv[0], '/');
    g_name = slash ? slash + 1 : argv[0];
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL})
        std::signal(sig, onCrash);

    if (argc > 1 && !isNumber(argv[1])) {
        for (int i = 1; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "cannot read %s\n", argv[i]);
                return 2;
            }
            runOne(std::string(std::istreambuf_iterator<char>(in), {}));
        }
        std::printf("%d file(s) ran\n", argc - 1);
        return 0;
    }

    const unsigned long long count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000;
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    const std::vector<std::string> seeds = FuzzSeedInputs();
    for (const std::string& s : seeds)
        runOne(s);
    Generator gen(seed, seeds, FuzzDictionary());
    for (unsigned long long i = 0; i < count; ++i)
        runOne(gen.next());
    std::printf("%s: %llu inputs (seed %llu) plus %zu seeds ran\n", g_name, count, seed, seeds.size());
    return 0;
}
