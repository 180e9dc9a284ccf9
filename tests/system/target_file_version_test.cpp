// Version texts of files: the outcome for every kind of file, on the PE fixtures through this
// system's reader and on scripted version resources and file times.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "pe_fixtures.h"
#include "platform/file_times.h"
#include "platform/version_resource.h"
#include "scoped_code_page.h"
#include "system/target_file_version.h"

namespace {

using korvane::platform::CalendarTime;
using korvane::platform::Translation;
using korvane::system::FileVersionOutcome;
using korvane::system::ReadTargetFileVersion;
using korvane::system::TimeStampForm;
using korvane::system::VersionSource;
using korvane::testing::ScopedCodePage;
using Bytes = std::vector<unsigned char>;

constexpr time_t kWritten = 1173103743;  // 5 March 2007, 14:09:03 UTC
const std::string kStamp = "T.20070305.140903.0";

void PutU16(Bytes& bytes, std::size_t offset, unsigned value) {
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

// Where the node with the UTF-16 key `key` starts in `bytes`.
std::size_t NodeOffset(const Bytes& bytes, const std::string& key) {
    Bytes pattern;
    for (const char c : key) pattern.insert(pattern.end(), {static_cast<unsigned char>(c), 0});
    const auto found = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    EXPECT_NE(found, bytes.end()) << key;
    return static_cast<std::size_t>(found - bytes.begin()) - 6;
}

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* current = getenv("TZ")) saved_ = current;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ");
        tzset();
    }

  private:
    std::optional<std::string> saved_;
};

// Files in a fresh folder, last written at kWritten, read through this system's platform.
class FileVersionOfFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/korvane-version-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static Bytes Fixture(const std::string& name) { return korvane::testing::PeFixtureBytes(name); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        const timespec times[2] = {{kWritten, 0}, {kWritten, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        return path;
    }

    std::string CopyOf(const std::string& fixture) { return Write(fixture, Fixture(fixture)); }

    static FileVersionOutcome Read(const std::string& path) {
        return ReadTargetFileVersion(korvane::platform::SystemVersionResources(),
                                     korvane::platform::SystemFileTimes(), path);
    }

    std::string folder_;
};

struct Case {
    const char* fixture;
    int result;
    std::optional<std::string> text;
};

// Files of every kind, read in a time zone nine hours east of UTC: the time stamps are in UTC.
TEST_F(FileVersionOfFiles, EachKindOfFileGetsItsResultAndText) {
    const ScopedTimeZone seoul("KST-9");
    const Case cases[] = {
        {"version-1001.dll", 1, "1.0.0.1"},
        {"version-build-pe32plus.dll", 1, "2.3.4(build7)"},
        {"version-spaces.dll", 0, kStamp},
        {"version-empty-translation.dll", 0, kStamp},
        {"version-second-translation.dll", 0, std::nullopt},
        {"no-version.dll", 1, kStamp},
        {"no-resources-pe32plus.dll", 1, kStamp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        const FileVersionOutcome outcome = Read(CopyOf(c.fixture));
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.text, c.text);
        // A text says where it came from, so that a time stamp is never taken for a version.
        const VersionSource source = !c.text             ? VersionSource::None
                                     : *c.text == kStamp ? VersionSource::TimeStamp
                                                         : VersionSource::VersionResource;
        EXPECT_EQ(outcome.source, source);
    }
    const std::string text = "not a program";
    const FileVersionOutcome plain = Read(Write("readme.txt", Bytes(text.begin(), text.end())));
    EXPECT_EQ(plain.result, 1);
    EXPECT_EQ(plain.text, kStamp);

    const FileVersionOutcome missing = Read(folder_ + "/missing.dll");
    EXPECT_EQ(missing.result, 0);
    EXPECT_FALSE(missing.text);
    const FileVersionOutcome folder = Read(folder_);
    EXPECT_EQ(folder.result, 0);
    EXPECT_FALSE(folder.text);
}

TEST_F(FileVersionOfFiles, VersionTextsAreConvertedToTheSystemCodePage) {
    const std::string path = CopyOf("version-korean.dll");
    {
        const ScopedCodePage korean(korvane::platform::kCodePageKorean);
        EXPECT_EQ(Read(path).text, "3.1\xBA\xA3\xC5\xB8");
    }
    const ScopedCodePage utf8(korvane::platform::kCodePageUtf8);
    EXPECT_EQ(Read(path).text, "3.1\xEB\xB2\xA0\xED\x83\x80");
}

TEST_F(FileVersionOfFiles, TruncatedAndCorruptedCopiesGiveZeroOrTheTimeStamp) {
    const Bytes image = Fixture("version-1001.dll");
    const std::size_t root = NodeOffset(image, "VS_VERSION_INFO");
    const std::size_t table = NodeOffset(image, "StringFileInfo");
    const std::size_t translation = NodeOffset(image, "Translation");
    std::vector<Bytes> copies;
    for (const std::size_t length : {std::size_t{0}, std::size_t{2}, std::size_t{0x40},
                                     std::size_t{0x200}, root, root + 0x100}) {
        copies.emplace_back(image.begin(), image.begin() + static_cast<long>(length));
    }
    for (const auto& [offset, value] : std::map<std::size_t, unsigned>{
             {root, 0xFFFF}, {root, 0}, {table, 0}, {table, 0xFFFF}, {translation, 0xFFFF}}) {
        copies.push_back(image);
        PutU16(copies.back(), offset, value);
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const FileVersionOutcome outcome = Read(Write("copy" + std::to_string(i), copies[i]));
        EXPECT_TRUE(outcome.result == 0 || outcome.text == kStamp) << "copy " << i;
        EXPECT_TRUE(!outcome.text || *outcome.text == kStamp) << "copy " << i;
    }
}

// --- Scripted resources and times --------------------------------------------------------------

class ScriptedResources : public korvane::platform::VersionResources {
  public:
    std::uint32_t size = 64;
    bool readable = true;
    std::optional<std::vector<Translation>> table = std::vector<Translation>{{0x0409, 0x04B0}};
    std::map<std::string, std::string> strings;
    mutable std::vector<std::string> asked;

    std::uint32_t InfoSize(const std::string&) const override { return size; }
    bool ReadInfo(const std::string&, std::uint32_t, std::vector<unsigned char>&) const override {
        return readable;
    }
    bool QueryTranslations(const std::vector<unsigned char>&,
                           std::vector<Translation>& out) const override {
        if (table) out = *table;
        return table.has_value();
    }
    bool QueryString(const std::vector<unsigned char>&, const std::string& subBlock,
                     std::string& value) const override {
        asked.push_back(subBlock);
        const auto found = strings.find(subBlock);
        if (found == strings.end()) return false;
        value = found->second;
        return true;
    }
};

class ScriptedTimes : public korvane::platform::FileTimes {
  public:
    std::optional<CalendarTime> time = CalendarTime{2007, 3, 5, 14, 9, 3};
    bool LastWriteTimeUtc(const std::string&, CalendarTime& out) const override {
        if (time) out = *time;
        return time.has_value();
    }
};

const std::string kUsEnglishQuery = "\\StringFileInfo\\040904b0\\FileVersion";

TEST(FileVersionSteps, OnlyTheFirstTranslationIsAskedForWithLowerCaseHex) {
    ScriptedResources resources;
    const ScriptedTimes times;
    resources.table = std::vector<Translation>{{0x0412, 0x04B0}, {0x0409, 0x04B0}};
    resources.strings = {{"\\StringFileInfo\\041204b0\\FileVersion", "7, 1"}};
    FileVersionOutcome outcome = ReadTargetFileVersion(resources, times, "a.dll");
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.text, "7.1");
    EXPECT_EQ(resources.asked, std::vector<std::string>{"\\StringFileInfo\\041204b0\\FileVersion"});

    resources.strings = {{kUsEnglishQuery, "7, 1"}};
    outcome = ReadTargetFileVersion(resources, times, "a.dll");
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(outcome.text);
}

TEST(FileVersionSteps, FailuresGiveZeroAndLeaveOrEmptyTheBuffer) {
    const ScriptedTimes times;
    ScriptedTimes unopenable;
    unopenable.time.reset();
    ScriptedTimes farFuture;  // a time without time-stamp form counts as a file not opened
    farFuture.time = CalendarTime{10000, 1, 1, 0, 0, 0};
    ScriptedResources unreadable;
    unreadable.readable = false;
    ScriptedResources tableless;
    tableless.table.reset();
    ScriptedResources none;
    none.size = 0;
    ScriptedResources spaces;
    spaces.strings = {{kUsEnglishQuery, "   "}};
    ScriptedResources emptyTable;
    emptyTable.table = std::vector<Translation>{};

    struct Row {
        const char* what;
        const ScriptedResources& resources;
        const ScriptedTimes& times;
        std::optional<std::string> text;
    };
    const Row rows[] = {
        {"resource unreadable", unreadable, times, std::nullopt},
        {"no translation table", tableless, times, std::nullopt},
        {"no resource, file not opened", none, unopenable, std::nullopt},
        {"no resource, time after 9999", none, farFuture, std::nullopt},
        {"blank FileVersion, file not opened", spaces, unopenable, ""},
        {"empty table, file not opened", emptyTable, unopenable, ""},
    };
    for (const Row& row : rows) {
        const FileVersionOutcome outcome = ReadTargetFileVersion(row.resources, row.times, "a");
        EXPECT_EQ(outcome.result, 0) << row.what;
        EXPECT_EQ(outcome.text, row.text) << row.what;
    }
}

TEST(FileVersionSteps, TheTimeStampFormHasNineteenCharacters) {
    EXPECT_EQ(TimeStampForm({2007, 3, 5, 14, 9, 3}), kStamp);
    EXPECT_EQ(TimeStampForm({1601, 1, 1, 0, 0, 0}), "T.16010101.000000.0");
    EXPECT_EQ(TimeStampForm({9999, 12, 31, 23, 59, 59}), "T.99991231.235959.0");
    EXPECT_FALSE(TimeStampForm({1600, 12, 31, 23, 59, 59}));
    EXPECT_FALSE(TimeStampForm({10000, 1, 1, 0, 0, 0}));
}

TEST(FileVersionSteps, CleaningDropsSpacesMakesCommasPeriodsAndCutsAtAWholeCharacter) {
    const ScopedCodePage utf8(korvane::platform::kCodePageUtf8);
    EXPECT_EQ(korvane::system::CleanVersionText("1, 0,\t0 (beta, 2)"), "1.0.\t0(beta.2)");
    const std::string longText = std::string(126, '9') + "\xEB\xB2\xA0";
    EXPECT_EQ(korvane::system::CleanVersionText(longText), std::string(126, '9'));
    EXPECT_EQ(korvane::system::CleanVersionText(std::string(200, '9')).size(), 127u);
}

}  // namespace
