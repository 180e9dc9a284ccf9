#include "system/target_file_version.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace korvane::system {
namespace {

constexpr int kFirstFileTimeYear = 1601;

std::string FileVersionQuery(const platform::Translation& translation) {
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion",
                  static_cast<unsigned>(translation.language),
                  static_cast<unsigned>(translation.codePage));
    return query;
}

// The time-stamp form of the file's last write with `result`; `otherwise` (and 0) when the file
// cannot be opened or its time has no time-stamp form.
FileVersionOutcome TimeStampOf(const platform::FileTimes& times, const std::string& fileName,
                               std::int32_t result, std::optional<std::string> otherwise) {
    platform::CalendarTime time{};
    std::optional<std::string> stamp;
    if (times.LastWriteTimeUtc(fileName, time)) stamp = TimeStampForm(time);
    if (!stamp) return {0, std::move(otherwise), VersionSource::None};
    return {result, std::move(stamp), VersionSource::TimeStamp};
}

}  // namespace

std::string CleanVersionText(std::string_view text) {
    std::string cleaned;
    for (const char c : text) {
        if (c == ' ') continue;
        cleaned.push_back(c == ',' ? '.' : c);
    }
    cleaned.resize(platform::WholeCharPrefix(cleaned, kVersionTextBufferSize - 1));
    return cleaned;
}

std::optional<std::string> TimeStampForm(const platform::CalendarTime& time) {
    if (time.year < kFirstFileTimeYear) return std::nullopt;
    char form[64];
    const int length = std::snprintf(form, sizeof form, "T.%04d%02d%02d.%02d%02d%02d.0", time.year,
                                     time.month, time.day, time.hour, time.minute, time.second);
    // A year past 9999 (or a field out of its range) would outgrow the form.
    if (length != static_cast<int>(kTimeStampLength)) return std::nullopt;
    return std::string(form, kTimeStampLength);
}

FileVersionOutcome ReadTargetFileVersion(const platform::VersionResources& resources,
                                         const platform::FileTimes& times,
                                         const std::string& fileName) {
    const std::uint32_t size = resources.InfoSize(fileName);
    if (size == 0) return TimeStampOf(times, fileName, 1, std::nullopt);

    // One zero byte more than the resource, so that its last text is always terminated.
    std::vector<unsigned char> block(std::size_t{size} + 1, 0);
    std::vector<platform::Translation> table;
    if (!resources.ReadInfo(fileName, size, block) || !resources.QueryTranslations(block, table)) {
        return {};
    }
    // Only the first translation is asked for.
    std::string version;
    if (!table.empty()) {
        std::string value;
        if (!resources.QueryString(block, FileVersionQuery(table.front()), value)) return {};
        version = CleanVersionText(value);
    }
    if (!version.empty()) return {1, std::move(version), VersionSource::VersionResource};
    // The caller's buffer has received the empty text by now: it keeps it when the file
    // cannot be opened.
    return TimeStampOf(times, fileName, 0, std::string());
}

}  // namespace korvane::system
