// SPDX-License-Identifier: MIT
// Writes a corpus of realistic rows, one per line, to standard output:
//   corpus_gen MEGABYTES [SEED [CONTACTS]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corpus.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: corpus_gen MEGABYTES [SEED [CONTACTS]]\n", stderr);
        return 2;
    }
    const std::size_t target = std::strtoull(argv[1], nullptr, 10) << 20;
    const auto seed = argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    const std::size_t contacts = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 100'000;
    kestrelmoor::bench::RowGenerator rows(seed, contacts == 0 ? 1 : contacts);
    std::string chunk;
    std::size_t written = 0;
    while (written < target) {
        chunk.clear();
        while (chunk.size() < (1 << 20)) {
            rows.AppendRow(chunk);
            chunk += '\n';
        }
        if (std::fwrite(chunk.data(), 1, chunk.size(), stdout) != chunk.size()) return 1;
        written += chunk.size();
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
