// Building an ID list by repeated append, as the device ID collection does:
// every append builds a new exact-size block and moves the kept buffers over.
#include "text/cwstring_array.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// n distinct IDs of 40 units each.
std::vector<CWString> makeIds(uint32_t n) {
    std::vector<CWString> ids;
    ids.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        CWString id(u"PCI\\VEN_8086&DEV_1234&SUBSYS_00000000&X=");
        for (uint32_t k = 0, v = i; k < 8; ++k, v /= 10) id.data[id.length - 1 - k] = static_cast<char16_t>(u'0' + v % 10);
        ids.push_back(id);
    }
    return ids;
}

void appendIds(benchmark::State& state) {
    const std::vector<CWString> ids = makeIds(static_cast<uint32_t>(state.range(0)));
    for (auto _ : state) {
        CWStringArray array;
        for (const CWString& id : ids) array.append(id);
        benchmark::DoNotOptimize(array.items);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same list with every kept element deep-copied on each append, for
// comparison: what the block rebuild costs without moving the buffers.
void appendIdsDeepCopy(benchmark::State& state) {
    const std::vector<CWString> ids = makeIds(static_cast<uint32_t>(state.range(0)));
    for (auto _ : state) {
        uint32_t count = 0;
        CWString* items = nullptr;
        for (const CWString& id : ids) {
            CWString* block = new CWString[count + 1];
            for (uint32_t i = 0; i < count; ++i) block[i] = items[i];
            block[count] = id;
            delete[] items;
            items = block;
            ++count;
        }
        benchmark::DoNotOptimize(items);
        delete[] items;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(appendIds)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(appendIdsDeepCopy)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
