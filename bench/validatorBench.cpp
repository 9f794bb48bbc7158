#include "ticketFiles.h"
#include "tzvParser.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

const std::filesystem::path& folder()
{
    static const std::filesystem::path path = [] {
        const auto where = std::filesystem::temp_directory_path() / ("kavrin-bench-" + std::to_string(::getpid()));
        kavrin::bench::writeTicketFiles(where);
        return where;
    }();
    return path;
}

void check(benchmark::State& state, const std::string& name)
{
    const std::string path = (folder() / name).string();
    const auto bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        tzvParser parser;
        parser.fileName = path;
        parser.check();
        benchmark::DoNotOptimize(parser.message);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

} // namespace

BENCHMARK_CAPTURE(check, valid47_4MiB, std::string("valid-47-4mib.tzv"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, valid47_singleLine, std::string("valid-47-single-line.tzv"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, valid34_4MiB, std::string("valid-34-4mib.tzv"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, valid28_4MiB, std::string("valid-28-4mib.tzv"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(check, brokenLastTicket_4MiB, std::string("broken-last-ticket-4mib.tzv"))
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(folder());
    return 0;
}
