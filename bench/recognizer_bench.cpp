// SPDX-License-Identifier: MIT
// Throughput of the recognizer alone over realistic rows, one call per row as an extraction makes it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/address_scan.h"
#include "core/lookahead_inserter.h"
#include "corpus.h"

namespace {

std::vector<std::string> MakeRows(std::size_t bytes) {
    kestrelmoor::bench::RowGenerator generator(7);
    std::vector<std::string> rows;
    std::size_t total = 0;
    while (total < bytes) {
        std::string row;
        generator.AppendRow(row);
        total += row.size();
        rows.push_back(std::move(row));
    }
    return rows;
}

// The recognizer and the seen set as a table's rows take them: valid candidates through the look-ahead
// inserter, the new ones counted.
void BM_ExtractNewAddresses(benchmark::State& state) {
    const std::vector<std::string> rows = MakeRows(std::size_t{32} << 20);
    std::size_t bytes = 0;
    for (const std::string& row : rows) bytes += row.size();
    for (auto _ : state) {
        kestrelmoor::SeenAddresses seen;
        std::size_t found = 0;
        kestrelmoor::LookaheadInserter inserter(
            seen, [&](std::string_view, const kestrelmoor::LookaheadInserter::Origin&) { ++found; });
        const kestrelmoor::AddressSink add = [&](std::string_view address) { inserter.Add(address); };
        for (const std::string& row : rows) kestrelmoor::ForEachValidAddress(row, add);
        inserter.Flush();
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ExtractNewAddresses)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
