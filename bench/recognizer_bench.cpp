// SPDX-License-Identifier: MIT
// Throughput of the recognizer alone over realistic rows, one call per row as an extraction makes it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/extract_new_addresses.h"
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

void BM_ExtractNewAddresses(benchmark::State& state) {
    const std::vector<std::string> rows = MakeRows(std::size_t{32} << 20);
    std::size_t bytes = 0;
    for (const std::string& row : rows) bytes += row.size();
    for (auto _ : state) {
        kestrelmoor::SeenAddresses seen;
        std::size_t found = 0;
        const kestrelmoor::AddressSink count = [&](std::string_view) { ++found; };
        for (const std::string& row : rows) kestrelmoor::ForEachNewAddress(row, seen, count);
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ExtractNewAddresses)->Unit(benchmark::kMillisecond);

void BM_ExtractNewAddressesWithYield(benchmark::State& state) {
    const std::vector<std::string> rows = MakeRows(std::size_t{32} << 20);
    std::size_t bytes = 0;
    for (const std::string& row : rows) bytes += row.size();
    std::size_t yields = 0;
    const kestrelmoor::YieldFn yield = [&] { ++yields; };
    for (auto _ : state) {
        kestrelmoor::SeenAddresses seen;
        for (const std::string& row : rows)
            benchmark::DoNotOptimize(kestrelmoor::ExtractNewAddresses(row, seen, yield));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ExtractNewAddressesWithYield)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
