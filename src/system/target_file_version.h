// The version text of a file: the FileVersion string of its version resource cleaned into a
// dotted form, or, when it has no usable version text, a time stamp of its last write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_times.h"
#include "platform/version_resource.h"

namespace korvane::system {

// A buffer that holds every version text handed out, terminator included: the size of the
// version field of a file entry. Longer cleaned texts are cut to fit.
inline constexpr std::size_t kVersionTextBufferSize = 128;

// Length of the time-stamp form, such as T.20070305.140903.0.
inline constexpr std::size_t kTimeStampLength = 19;

// Where a version text came from.
enum class VersionSource {
    None,             // no text, or the empty text
    VersionResource,  // the cleaned FileVersion of the version resource
    TimeStamp,        // the time-stamp form of the file's last write
};

struct FileVersionOutcome {
    std::int32_t result = 0;          // 1 or 0
    std::optional<std::string> text;  // what the caller's buffer receives; nothing: left alone
    VersionSource source = VersionSource::None;
};

// `text` with every space removed and every comma made a period (1, 0, 0, 1 becomes 1.0.0.1),
// cut at the last whole character that fits kVersionTextBufferSize with its terminator.
std::string CleanVersionText(std::string_view text);

// T.YYYYMMDD.hhmmss.0 for `time`. Nothing for a year outside 1601 to 9999: Windows file times
// start in 1601, and later years would not fit the form's 19 characters.
std::optional<std::string> TimeStampForm(const platform::CalendarTime& time);

// The version text of file `fileName` and the result the caller gets:
//   1 with the cleaned FileVersion of the first translation, when it is not empty;
//   1 with the time-stamp form, when the file has no version resource;
//   0 with the time-stamp form, when the FileVersion is empty after cleaning or the translation
//     table is empty (the empty text instead when the file cannot be opened);
//   0 and no text, when the file cannot be opened and has no version resource, or the resource
//     cannot be read, has no translation table, or has no FileVersion for its first translation.
FileVersionOutcome ReadTargetFileVersion(const platform::VersionResources& resources,
                                         const platform::FileTimes& times,
                                         const std::string& fileName);

}  // namespace korvane::system
