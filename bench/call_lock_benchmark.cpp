// What the lock that every export takes costs a caller on one thread: a getter's work as the
// export does it, without the lock (as before the lock) and with it, in the same run, and the
// export itself through the shared library for comparison.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "korvane.h"
#include "model/setup_document.h"
#include "platform/call_lock.h"

namespace {

using korvane::model::SetupDocument;

constexpr int kEntries = 100;

SetupDocument& Described() {
    static SetupDocument document = [] {
        SetupDocument filled;
        for (int i = 0; i < kEntries; ++i) {
            filled.AddFileInfo("bin\\sample.exe", "sample.exe", "[APPDIR]\\bin", "1.0.0.1", "WINNT",
                               "", "Sample program", 0, 1, 1, 512 + i, 0, 0);
        }
        return filled;
    }();
    return document;
}

// The body of GetFileCount.
__attribute__((noinline)) std::int32_t CountFiles() {
    return static_cast<std::int32_t>(Described().Files().size());
}

// The body of GetFileInfo: seven texts and six numbers copied out.
__attribute__((noinline)) std::int32_t ReadFile(int index, char (*texts)[260], std::int32_t* ints) {
    const auto& entry = Described().Files()[static_cast<std::size_t>(index)];
    const std::string_view fields[] = {entry.SrcPath(),    entry.FileName(), entry.Folder(),
                                       entry.Version(),    entry.TargetOs(), entry.Shortcut(),
                                       entry.DisplayName()};
    for (int i = 0; i < 7; ++i) {
        fields[i].copy(texts[i], fields[i].size());
        texts[i][fields[i].size()] = '\0';
    }
    const std::int32_t numbers[] = {entry.iconIndex, entry.selfReg,  entry.overwrite,
                                    entry.fileSize,  entry.realTime, entry.reboot};
    for (int i = 0; i < 6; ++i) ints[i] = numbers[i];
    return 1;
}

template <bool kLocked>
void BM_FileCount(benchmark::State& state) {
    for (auto _ : state) {
        if constexpr (kLocked) {
            const korvane::platform::CallLock serialised;
            benchmark::DoNotOptimize(CountFiles());
        } else {
            benchmark::DoNotOptimize(CountFiles());
        }
    }
}
BENCHMARK_TEMPLATE(BM_FileCount, false)->Name("GetFileCount/unlocked");
BENCHMARK_TEMPLATE(BM_FileCount, true)->Name("GetFileCount/locked");

template <bool kLocked>
void BM_FileInfo(benchmark::State& state) {
    char texts[7][260];
    std::int32_t ints[6];
    int index = 0;
    for (auto _ : state) {
        if constexpr (kLocked) {
            const korvane::platform::CallLock serialised;
            benchmark::DoNotOptimize(ReadFile(index, texts, ints));
        } else {
            benchmark::DoNotOptimize(ReadFile(index, texts, ints));
        }
        index = (index + 1) % kEntries;
    }
}
BENCHMARK_TEMPLATE(BM_FileInfo, false)->Name("GetFileInfo/unlocked");
BENCHMARK_TEMPLATE(BM_FileInfo, true)->Name("GetFileInfo/locked");

// The exports themselves, lock included.
void BM_ExportFileCount(benchmark::State& state) {
    ClearInMemory();
    for (int i = 0; i < kEntries; ++i) {
        SetFileInfo("bin\\sample.exe", "sample.exe", "[APPDIR]\\bin", "1.0.0.1", "WINNT", "",
                    "Sample program", 0, 1, 1, 512 + i, 0, 0);
    }
    for (auto _ : state) benchmark::DoNotOptimize(GetFileCount());
}
BENCHMARK(BM_ExportFileCount)->Name("GetFileCount/export");

void BM_ExportFileInfo(benchmark::State& state) {
    char texts[7][260];
    std::int32_t ints[6];
    int index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetFileInfo(index, texts[0], texts[1], texts[2], texts[3],
                                             texts[4], texts[5], texts[6], &ints[0], &ints[1],
                                             &ints[2], &ints[3], &ints[4], &ints[5]));
        index = (index + 1) % kEntries;
    }
}
BENCHMARK(BM_ExportFileInfo)->Name("GetFileInfo/export");

}  // namespace
