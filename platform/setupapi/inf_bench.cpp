// Benchmark: a generated INF of about 20 MB (200,000 models lines, each with
// a %strkey% to replace, and a [Strings] line for each) is opened and every
// line text and field of it read, first through the engine directly (read
// the file, parse, walk), then through the eight Setup API functions of
// platform.h. Natively both are our engine (the second adds the stand-in
// layer); built for Windows and run under Wine the second is the system's
// setupapi.dll, and the ratio compares the two implementations.
//
//   inf_bench [runs [models [engine]]]   MB/s (best of runs, default 3) and peak memory
//
// models (default 200,000) makes a smaller file, and "engine" skips the
// Setup API: Wine's looks [Strings] keys up one by one, so on the full file
// it needs hours.
//
// The walk reads texts with the size query and a second call, as the
// installer does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/setupapi/inf_engine.h"
#include "platform/platform.h"

#if defined(_WIN32)
#include <psapi.h>
#else
#include <sys/resource.h>

#include "platform/kernel32/paths.h"
#endif

namespace {

int kModels = 200000;

std::string generate() {
    std::string inf = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\nCatalogFile=bench.cat\r\n\r\n"
                      "[Manufacturer]\r\n%Mfg% = Models, NTx86, NTamd64\r\n\r\n[Models.NTamd64]\r\n";
    char line[256];
    for (int i = 0; i < kModels; ++i) {
        std::snprintf(line, sizeof line, "%%Dev%06d%% = Install_%d, PCI\\VEN_8086&DEV_%04X&SUBSYS_%08X ; model\r\n", i,
                      i % 97, i & 0xFFFF, i * 2654435761u);
        inf += line;
    }
    inf += "\r\n[Strings]\r\nMfg = \"Velk, Inc.\"\r\n";
    for (int i = 0; i < kModels; ++i) {
        std::snprintf(line, sizeof line, "Dev%06d = \"Velk Network Adapter %d\"\r\n", i, i);
        inf += line;
    }
    return inf;
}

double peakMegabytes() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS counters;
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return double(counters.PeakWorkingSetSize) / (1 << 20);
#else
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
#endif
}

std::u16string apiPath(const std::filesystem::path& file) {
#if defined(_WIN32)
    std::wstring wide = file.wstring();
    return std::u16string(wide.begin(), wide.end());
#else
    return standin::toWindowsPath(file.string());
#endif
}

struct Totals {
    size_t lines = 0;
    size_t fields = 0;
    size_t chars = 0;
};

// Engine directly: read, parse, walk every section.
bool runEngine(const std::filesystem::path& file, Totals* totals, size_t* held) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    infengine::OpenResult result;
    std::unique_ptr<infengine::Inf> inf = infengine::Inf::open(bytes.data(), bytes.size(), infengine::Options(), &result);
    if (!inf) return false;
    std::u16string text;
    for (uint32_t s = 0; s < inf->sectionCount(); ++s) {
        for (uint32_t l = 0; l < inf->lineCount(s); ++l) {
            inf->lineText(s, l, &text);
            totals->chars += text.size();
            ++totals->lines;
            for (uint32_t f = 0; inf->field(s, l, f, &text) || f == 0; ++f) {
                totals->chars += text.size();
                ++totals->fields;
            }
        }
    }
    *held = inf->memoryBytes();
    return true;
}

bool readApi(const INFCONTEXT& context, bool field, DWORD index, std::vector<WCHAR>* buffer, Totals* totals) {
    DWORD size = 0;
    BOOL ok = field ? SetupGetStringFieldW(&context, index, nullptr, 0, &size)
                    : SetupGetLineTextW(&context, nullptr, nullptr, nullptr, nullptr, 0, &size);
    if (!ok) return false;
    if (buffer->size() < size) buffer->resize(size);
    ok = field ? SetupGetStringFieldW(&context, index, buffer->data(), size, nullptr)
               : SetupGetLineTextW(&context, nullptr, nullptr, nullptr, buffer->data(), size, nullptr);
    if (ok) totals->chars += size - 1;
    return ok != FALSE;
}

// The same through the Setup API names of platform.h.
bool runApi(const std::u16string& path, Totals* totals) {
    UINT errorLine = 0;
    HINF inf = SetupOpenInfFileW(wstr(path.c_str()), nullptr, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE) return false;
    std::vector<WCHAR> buffer(256);
    for (const char16_t* section : {u"Version", u"Manufacturer", u"Models.NTamd64", u"Strings"}) {
        INFCONTEXT context;
        if (!SetupFindFirstLineW(inf, wstr(section), nullptr, &context)) continue;
        do {
            readApi(context, false, 0, &buffer, totals);
            ++totals->lines;
            for (DWORD f = 0; readApi(context, true, f, &buffer, totals) || f == 0; ++f) ++totals->fields;
        } while (SetupFindNextLine(&context, &context));
    }
    SetupCloseInfFile(inf);
    return true;
}

template <typename Fn>
double bestSeconds(int runs, Fn fn) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!fn()) return -1;
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (argc > 2) kModels = std::max(1, std::atoi(argv[2]));
    std::filesystem::path file = std::filesystem::temp_directory_path() / "velk-inf-bench.inf";
    double megabytes;
    {
        std::string inf = generate();
        megabytes = double(inf.size()) / 1e6;
        std::ofstream(file, std::ios::binary).write(inf.data(), std::streamsize(inf.size()));
    }
    std::printf("INF: %.1f MB, %d models lines, a [Strings] replacement in each\n", megabytes, kModels);
    std::fflush(stdout);
    double before = peakMegabytes();

    Totals engine;
    size_t held = 0;
    double engineSeconds = bestSeconds(runs, [&] {
        engine = Totals();
        return runEngine(file, &engine, &held);
    });
    double enginePeak = peakMegabytes();
    if (engineSeconds < 0) {
        std::filesystem::remove(file);
        std::printf("open failed (engine)\n");
        return 1;
    }
    std::printf("engine:    %8.3f s  %7.1f MB/s  (%zu lines, %zu fields, %zu characters read)\n", engineSeconds,
                megabytes / engineSeconds, engine.lines, engine.fields, engine.chars);
    std::printf("           parsed form %.1f MB; process peak %.1f MB (%.1f MB before the engine ran)\n",
                double(held) / (1 << 20), enginePeak, before);
    std::fflush(stdout);
    if (argc > 3 && std::string(argv[3]) == "engine") {
        std::filesystem::remove(file);
        return 0;
    }
    Totals api;
    double apiSeconds = bestSeconds(runs, [&] {
        api = Totals();
        return runApi(apiPath(file), &api);
    });
    std::filesystem::remove(file);
    if (apiSeconds < 0) {
        std::printf("open failed (Setup API)\n");
        return 1;
    }
    std::printf("Setup API: %8.3f s  %7.1f MB/s  (%zu lines, %zu fields, %zu characters read)\n", apiSeconds,
                megabytes / apiSeconds, api.lines, api.fields, api.chars);
    std::printf("Setup API time / engine time: %.2f\n", apiSeconds / engineSeconds);
    return 0;
}
