#include "repair.h"
#include "ticketFiles.h"
#include "tzvParser.h"

#include <benchmark/benchmark.h>

#include <string>

// The repair of each 4 MiB repair file against the check: of the same file
// with every violation asked for, and of the valid 4 MiB file, the longest
// a check reads.
namespace {

void check(benchmark::State& state, const std::string& bytes)
{
    for (auto _ : state) {
        tzvParser parser;
        parser.maxViolations = tzvParser::defaultMaxViolations;
        parser.checkBytes(bytes);
        benchmark::DoNotOptimize(parser.violations);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void repair(benchmark::State& state, const std::string& bytes)
{
    for (auto _ : state) {
        kavrin::repairResult repaired = kavrin::repairBytes(bytes);
        benchmark::DoNotOptimize(repaired);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    for (const kavrin::bench::ticketFile& file : kavrin::bench::ticketFiles())
        if (file.name == "valid-47-4mib.tzv")
            benchmark::RegisterBenchmark(("check/" + file.name).c_str(), check, file.content)
                ->Unit(benchmark::kMillisecond);
    for (const kavrin::bench::ticketFile& file : kavrin::bench::repairFiles()) {
        benchmark::RegisterBenchmark(("check/" + file.name).c_str(), check, file.content)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("repair/" + file.name).c_str(), repair, file.content)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
