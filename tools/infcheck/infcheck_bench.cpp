// Benchmark: one infcheck evaluation over every target of the table, on the
// sample package and on a generated INF at infcheck's limits (five
// [Manufacturer] lines of 1,900 decorations each, each line naming its own
// models section of 9,999 IDs: 50,000 IDs that one system collects).
//
//   infcheck_bench [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tool_path.h"
#include "tools/infcheck/analysis.h"

namespace {

std::vector<const Target*> everyTarget() {
    std::vector<const Target*> targets;
    for (const Target& target : targetTable()) targets.push_back(&target);
    return targets;
}

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void run(benchmark::State& state, const std::string& path) {
    const std::string bytes = readWhole(path);
    const std::u16string windowsPath = toolPathArgument(path.c_str());
    const std::vector<const Target*> targets = everyTarget();
    size_t findings = 0;
    for (auto _ : state) {
        InfCheck check = checkInf(windowsPath, &bytes, targets);
        findings = check.findings.size();
        benchmark::DoNotOptimize(check);
    }
    state.counters["findings"] = static_cast<double>(findings);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void SamplePackage(benchmark::State& state) { run(state, INFCHECK_SAMPLE); }

void AtTheLimits(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "infcheck-bench-limits.inf").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n";
        for (int line = 0; line < 5; ++line) {
            out << "M" << line << " = Models" << line;
            for (int d = 0; d < 1900; ++d) out << ", NTx86." << d / 10 << "." << d % 10;
            out << "\r\n";
        }
        for (int section = 0; section < 5; ++section) {
            out << "[Models" << section << "]\r\n";
            for (int i = 0; i < 9999; ++i) out << "D" << i << " = Inst, USB\\VID_F055&PID_" << i % 5000 << "\r\n";
        }
    }
    run(state, path);
    std::remove(path.c_str());
}

}  // namespace

BENCHMARK(SamplePackage)->Unit(benchmark::kMillisecond);
BENCHMARK(AtTheLimits)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
