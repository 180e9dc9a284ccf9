// Every export with memory running out inside it: no exception leaves the library, and each
// gives the answer it documents for a failure. This program replaces the global operator new
// so that, once armed, allocations fail from a chosen one on; it runs alone so that the
// replacement disturbs no other test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "korvane.h"
#include "scratch_directory.h"

namespace {

// Allocations since arming; from number `failFrom` on, each one throws.
bool armed = false;
std::size_t allocations = 0;
std::size_t failFrom = 0;
std::size_t failures = 0;

void* Allocate(std::size_t size) {
    if (armed && allocations++ >= failFrom) {
        ++failures;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
// The non-throwing forms fail the same way, by returning null; replacing them too keeps every
// allocation and every release in this one pair (AddressSanitizer checks that they match).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using korvane::testing::ScratchDirectory;

// One export under test: `call` makes the call and returns its result; `failed` checks the
// result and the state after a call in which an allocation failed; `prepare`, if given, runs
// before each call, unarmed.
struct Export {
    const char* name;
    std::function<int32_t()> call;
    std::function<void(int32_t)> failed;
    std::function<void()> prepare = {};
};

int32_t Counts() {
    return GetFileCount() + GetRegistryCount() + GetReservedWordCount() +
           GetPreKillProcessCount() + GetUpKillProcessCount() + GetPreExecuteCount() +
           GetPostExecuteCount() + GetUpdateExecuteCount() + GetDeleteExecuteCount();
}

// A description with one entry in every table; the reserved words added last, so that the
// first read by position rebuilds the table's index.
void Populate() {
    ClearInMemory();
    SetElementField("Name", "value");
    SetFileInfo("src", "file", "folder", "1.0", "os", "sc", "display", 1, 1, 0, 10, 0, 1);
    SetRegistryInfo("HKLM\\Software", "key", 1, "value", 0);
    SetPreKillProcess("class", "title");
    SetUpKillProcess("class", "title");
    SetPreExecute("pre");
    SetPostExecute("post");
    SetUpdateExecute("update");
    SetDeleteExecute("delete");
    SetReservedWord("<B>", "b", "bee");
    SetReservedWord("<A>", "a", "ay");
}

constexpr int32_t kPopulatedCounts = 10;

// Runs `call` first without failing, to count its allocations, then once for each of up to
// `maxRuns` of those (spread over them all), failing from that one on. An export that
// allocates nothing is still called once armed, and must not throw.
void UnderFailingAllocation(const Export& exported, std::size_t maxRuns = 60) {
    SCOPED_TRACE(exported.name);
    const auto prepare = [&exported] {
        Populate();
        if (exported.prepare) exported.prepare();
    };
    prepare();
    armed = true;
    allocations = 0;
    failFrom = SIZE_MAX;
    exported.call();
    armed = false;
    const std::size_t total = allocations;
    const std::size_t runs = total == 0 ? 1 : std::min<std::size_t>(total, maxRuns);
    for (std::size_t run = 0; run < runs; ++run) {
        prepare();
        failures = 0;
        allocations = 0;
        failFrom = run * total / runs;
        armed = true;
        int32_t result = -1;
        bool escaped = false;
        try {
            result = exported.call();
        } catch (...) {
            escaped = true;
        }
        armed = false;
        ASSERT_FALSE(escaped) << "failing from allocation " << failFrom << " of " << total;
        if (failures > 0) exported.failed(result);
    }
}

// The setters: the count they would have grown, unchanged.
std::function<void(int32_t)> CountUnchanged(int32_t(KORVANE_CALL* count)(), int32_t before) {
    return [count, before](int32_t result) {
        EXPECT_EQ(result, before);
        EXPECT_EQ(count(), before);
    };
}

std::function<void(int32_t)> Returns(int32_t expected) {
    return [expected](int32_t result) { EXPECT_EQ(result, expected); };
}

int32_t KORVANE_CALL ElementFieldCount() {
    // Adding a field that is present changes nothing and answers the count.
    return SetElementField("Name", "other");
}

TEST(AllocationFailure, EveryExportAnswersAsDocumentedAndThrowsNothing) {
    const ScratchDirectory directory;
    directory.Write("setup.xml", "<SETUP><CONFIG><Loaded>1</Loaded></CONFIG></SETUP>");
    directory.Write("plain.txt", "no version resource");
    std::vector<char> text(KORVANE_TEXT_SIZE), other(KORVANE_TEXT_SIZE);
    int32_t number = 0;

    const std::vector<Export> exports = {
        {"ClearInMemory", [] { return ClearInMemory(); },
         [](int32_t result) {
             EXPECT_EQ(result, 1);
             EXPECT_EQ(Counts(), 0);
         }},
        {"LoadSetupFile", [] { return LoadSetupFile("setup.xml"); },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_EQ(Counts(), kPopulatedCounts);
             GetElementField("Name", text.data());
             EXPECT_STREQ(text.data(), "value");
         }},
        {"SaveSetupFile", [] { return SaveSetupFile("saved.xml"); },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_EQ(directory.Read("saved.xml"), "before");
             EXPECT_EQ(directory.Listing(), "plain.txt saved.xml setup.xml ");
         },
         [&] { directory.Write("saved.xml", "before"); }},
        {"SetElementField", [] { return SetElementField("New", "text"); },
         CountUnchanged(ElementFieldCount, 1)},
        {"SetFileInfo",
         [] { return SetFileInfo("s", "f", "d", "v", "o", "c", "n", 0, 0, 0, 0, 0, 0); },
         CountUnchanged(GetFileCount, 1)},
        {"SetRegistryInfo", [] { return SetRegistryInfo("p", "k", 4, "v", 1); },
         CountUnchanged(GetRegistryCount, 1)},
        {"SetPreKillProcess", [] { return SetPreKillProcess("c", "t"); },
         CountUnchanged(GetPreKillProcessCount, 1)},
        {"SetUpKillProcess", [] { return SetUpKillProcess("c", "t"); },
         CountUnchanged(GetUpKillProcessCount, 1)},
        {"SetPreExecute", [] { return SetPreExecute("c"); }, CountUnchanged(GetPreExecuteCount, 1)},
        {"SetPostExecute", [] { return SetPostExecute("c"); },
         CountUnchanged(GetPostExecuteCount, 1)},
        {"SetUpdateExecute", [] { return SetUpdateExecute("c"); },
         CountUnchanged(GetUpdateExecuteCount, 1)},
        {"SetDeleteExecute", [] { return SetDeleteExecute("c"); },
         CountUnchanged(GetDeleteExecuteCount, 1)},
        {"SetReservedWord", [] { return SetReservedWord("<C>", "c", "cee"); },
         CountUnchanged(GetReservedWordCount, 2)},
        // Counting allocates nothing; should it ever, a failure still answers the count.
        {"GetFileCount", [] { return GetFileCount(); }, Returns(1)},
        {"GetRegistryCount", [] { return GetRegistryCount(); }, Returns(1)},
        {"GetReservedWordCount", [] { return GetReservedWordCount(); }, Returns(2)},
        {"GetPreKillProcessCount", [] { return GetPreKillProcessCount(); }, Returns(1)},
        {"GetUpKillProcessCount", [] { return GetUpKillProcessCount(); }, Returns(1)},
        {"GetPreExecuteCount", [] { return GetPreExecuteCount(); }, Returns(1)},
        {"GetPostExecuteCount", [] { return GetPostExecuteCount(); }, Returns(1)},
        {"GetUpdateExecuteCount", [] { return GetUpdateExecuteCount(); }, Returns(1)},
        {"GetDeleteExecuteCount", [] { return GetDeleteExecuteCount(); }, Returns(1)},
        // Reading by position allocates nothing but the reserved words' index: a read that
        // fails answers 0, one that does not answers 1.
        {"GetFileInfo",
         [&] {
             return GetFileInfo(0, text.data(), text.data(), text.data(), text.data(),
                                text.data(), text.data(), text.data(), &number, &number,
                                &number, &number, &number, &number);
         },
         Returns(1)},
        {"GetRegistryInfo",
         [&] { return GetRegistryInfo(0, text.data(), text.data(), &number, text.data(), &number); },
         Returns(1)},
        {"GetPreKillProcess", [&] { return GetPreKillProcess(0, text.data(), other.data()); },
         Returns(1)},
        {"GetUpKillProcess", [&] { return GetUpKillProcess(0, text.data(), other.data()); },
         Returns(1)},
        {"GetPreExecute", [&] { return GetPreExecute(0, text.data()); }, Returns(1)},
        {"GetPostExecute", [&] { return GetPostExecute(0, text.data()); }, Returns(1)},
        {"GetUpdateExecute", [&] { return GetUpdateExecute(0, text.data()); }, Returns(1)},
        {"GetDeleteExecute", [&] { return GetDeleteExecute(0, text.data()); }, Returns(1)},
        {"GetReservedWord",
         [&] {
             text[0] = other[0] = 'x';
             text[1] = other[1] = '\0';
             return GetReservedWord(1, text.data(), other.data());
         },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_STREQ(text.data(), "x");
             EXPECT_STREQ(other.data(), "x");
         },
         // The table's index of positions keeps its capacity: one more word each time makes
         // every read rebuild it, allocating.
         [] {
             static int words = 0;
             ++words;
             for (int word = 0; word < words; ++word)
                 SetReservedWord(("<W" + std::to_string(word) + ">").c_str(), "w", "w");
         }},
        {"GetElementField", [&] { return GetElementField("Absent", text.data()); },
         [&](int32_t result) {
             EXPECT_EQ(result, 1);
             EXPECT_STREQ(text.data(), "");
         }},
        // Out of memory, the path comes back unexpanded.
        {"SetupPathToRealPath", [&] { return SetupPathToRealPath("<A>\\<B>", text.data()); },
         [&](int32_t result) {
             EXPECT_EQ(result, 1);
             EXPECT_STREQ(text.data(), "<A>\\<B>");
         }},
        {"GetSpcialDirectoryInCurrentSystem",
         [&] {
             text.assign(text.size(), 'x');
             return GetSpcialDirectoryInCurrentSystem(2, 0, text.data());
         },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_STREQ(text.data(), "");
         }},
        {"GetTempInstallPath", [&] { return GetTempInstallPath(text.data()); },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_STREQ(text.data(), "");
         }},
        {"GetProtectedFilePath", [&] { return GetProtectedFilePath(text.data(), "Fonts"); },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_STREQ(text.data(), "");
         }},
        {"GetTargetFileVersion",
         [&] {
             text[0] = 'x';
             text[1] = '\0';
             return GetTargetFileVersion("plain.txt", text.data());
         },
         [&](int32_t result) {
             EXPECT_EQ(result, 0);
             EXPECT_STREQ(text.data(), "x");
         }},
    };

    // Every export of the library is here, once.
    std::set<std::string> listed;
#define KORVANE_EXPORT(name, bytes) listed.insert(#name);
#include "korvane_exports.inc"
#undef KORVANE_EXPORT
    std::set<std::string> tested;
    for (const Export& exported : exports) tested.insert(exported.name);
    EXPECT_EQ(tested, listed);
    EXPECT_EQ(exports.size(), listed.size());

    for (const Export& exported : exports) UnderFailingAllocation(exported);
}

// A save fails whole, leaving the file as it was, wherever memory runs out: every one of its
// allocations fails in turn, the file writer's own included.
TEST(AllocationFailure, ASaveLeavesTheFileAtEveryFailingAllocation) {
    const ScratchDirectory directory;
    UnderFailingAllocation({"SaveSetupFile", [] { return SaveSetupFile("saved.xml"); },
                            [&](int32_t result) {
                                EXPECT_EQ(result, 0);
                                EXPECT_EQ(directory.Read("saved.xml"), "before");
                                EXPECT_EQ(directory.Listing(), "saved.xml ");
                            },
                            [&] { directory.Write("saved.xml", "before"); }},
                           SIZE_MAX);
}

}  // namespace
