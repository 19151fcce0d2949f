#ifndef DCX_FUZZ_FUZZCHECK_H
#define DCX_FUZZ_FUZZCHECK_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A broken property is a crash like any other: the driver (or libFuzzer)
// catches the abort and keeps the input that caused it.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);                 \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// Inputs each harness hands the stand-alone driver to mutate: well-formed
// examples of what its parser reads. Unused when built for libFuzzer.
std::vector<std::string> FuzzSeedInputs();

// Bytes that matter to the harness's parser; the driver favours them.
std::string FuzzDictionary();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

#endif
