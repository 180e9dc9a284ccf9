// Speed of the in-memory description through the exports: appending file entries, reading them
// back by index, reading reserved words by index, and expanding a path against many reserved
// words.
#include <benchmark/benchmark.h>

#include <string>

#include "korvane.h"

namespace {

void AppendFiles(int count) {
    for (int i = 0; i < count; ++i) {
        SetFileInfo("bin\\sample.exe", "sample.exe", "[APPDIR]\\bin", "1.0.0.1", "WINNT", "",
                    "Sample program", 0, 1, 1, 512 + i, 0, 0);
    }
}

void BM_AppendFiles(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ClearInMemory();
        state.ResumeTiming();
        AppendFiles(count);
    }
    state.SetComplexityN(count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AppendFiles)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

void BM_ReadFilesByIndex(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ClearInMemory();
    AppendFiles(count);
    char src[260], name[260], folder[260], version[128], os[20], shortcut[10], display[130];
    int32_t icon, selfReg, overwrite, size, realTime, reboot;
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) {
            GetFileInfo(i, src, name, folder, version, os, shortcut, display, &icon, &selfReg,
                        &overwrite, &size, &realTime, &reboot);
        }
        benchmark::DoNotOptimize(size);
    }
    state.SetComplexityN(count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadFilesByIndex)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);

void BM_ReadReservedWordsByIndex(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ClearInMemory();
    for (int i = 0; i < count; ++i) {
        SetReservedWord(("[W" + std::to_string(i) + "]").c_str(), "meaning", "");
    }
    char word[64], meaning[KORVANE_TEXT_SIZE];
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) GetReservedWord(i, word, meaning);
        benchmark::DoNotOptimize(word);
    }
    state.SetComplexityN(count);
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadReservedWordsByIndex)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Complexity(benchmark::oN);

void BM_ExpandPath(benchmark::State& state) {
    ClearInMemory();
    for (int i = 0; i < 100; ++i) {
        const std::string word = "%W" + std::to_string(i) + "%";
        SetReservedWord(word.c_str(), "", ("C:\\folder" + std::to_string(i)).c_str());
    }
    // 200 characters with a few words in it.
    std::string path = "%W7%\\program files\\%W42%\\";
    while (path.size() < 190) path += "sub\\";
    path += "%W99%x.dll";
    path.resize(200, 'x');
    char real[1024];
    for (auto _ : state) {
        SetupPathToRealPath(path.c_str(), real);
        benchmark::DoNotOptimize(real);
    }
}
BENCHMARK(BM_ExpandPath);

}  // namespace
