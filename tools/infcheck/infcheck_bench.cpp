// Benchmark: one infcheck evaluation over every target of the table, on the
// sample package and on a generated INF at infcheck's limits (five
// [Manufacturer] lines of 1,900 decorations each, each line naming its own
// models section of 9,999 IDs: 50,000 IDs that one system collects); and a
// whole run of the command (annotations) over a folder of 1,000 generated
// packages, each an INF like the sample's with its driver file and catalog,
// with the process's peak memory.
//
//   infcheck_bench [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>

#include "platform/tool_path.h"
#include "tools/infcheck/analysis.h"
#include "tools/infcheck/cli.h"

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
        InfCheck check = checkInf(windowsPath, bytes, targets, nullptr);
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

// One package like the sample: three models sections, install sections,
// a driver file, a catalog and strings; package n lists its own IDs.
std::string packageInf(int n) {
    std::string inf = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Sample\r\n"
                      "ClassGuid={6F3E2A41-9C7D-4B1E-8A52-3D0C7E915B24}\r\nProvider=%Maker%\r\n"
                      "DriverVer=06/01/2024,1.0.0." + std::to_string(n) + "\r\nCatalogFile=pkg.cat\r\n\r\n"
                      "[SourceDisksNames]\r\n1=%Disk%\r\n\r\n[SourceDisksFiles]\r\npkg.sys=1\r\n\r\n"
                      "[DestinationDirs]\r\nDefaultDestDir=12\r\n\r\n"
                      "[Manufacturer]\r\n%Maker%=Maker,NTx86,NTx86.5.1,NTamd64\r\n\r\n[Maker]\r\n\r\n";
    const std::string id = "USB\\VID_F055&PID_" + std::to_string(1000 + n);
    for (const char* section : {"Maker.NTx86", "Maker.NTx86.5.1", "Maker.NTamd64"}) {
        inf += std::string("[") + section + "]\r\n%Device%=Install," + id + "\r\n%Mini%=Install," + id +
               "&REV_0200," + id + "&MI_01\r\n\r\n";
    }
    inf += "[Install.NT]\r\nCopyFiles=Files\r\n\r\n[Files]\r\npkg.sys\r\n\r\n[Install.NT.Services]\r\n"
           "AddService=pkg,0x00000002,Service\r\n\r\n[Service]\r\nServiceType=1\r\nStartType=3\r\n"
           "ErrorControl=1\r\nServiceBinary=%12%\\pkg.sys\r\n\r\n[Strings]\r\nMaker=\"Sample Maker\"\r\n"
           "Disk=\"Sample Disk\"\r\nDevice=\"Sample Device\"\r\nMini=\"Sample Mini Device\"\r\n";
    return inf;
}

double peakMegabytes() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

void ThousandPackages(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "infcheck-bench-packages";
    std::filesystem::remove_all(folder);
    for (int n = 0; n < 1000; ++n) {
        const std::filesystem::path package = folder / ("pkg" + std::to_string(n));
        std::filesystem::create_directories(package);
        std::ofstream(package / "pkg.inf", std::ios::binary) << packageInf(n);
        std::ofstream(package / "pkg.sys", std::ios::binary) << "driver";
        std::ofstream(package / "pkg.cat", std::ios::binary) << "catalog";
    }
    size_t lines = 0;
    int code = -1;
    for (auto _ : state) {
        std::string out, err;
        code = runInfcheck({"--annotations", folder.string()}, out, err);
        lines = static_cast<size_t>(std::count(out.begin(), out.end(), '\n'));
        benchmark::DoNotOptimize(out);
    }
    state.counters["findings"] = static_cast<double>(lines);
    state.counters["exit"] = code;
    state.counters["peakMB"] = peakMegabytes();
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(ThousandPackages)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(SamplePackage)->Unit(benchmark::kMillisecond);
BENCHMARK(AtTheLimits)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
