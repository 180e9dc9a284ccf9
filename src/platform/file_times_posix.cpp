// File times on POSIX systems: the modification time, read through a file opened for reading so
// that a file the caller may not read has no time, as on Windows.
#include <time.h>

#include "platform/file_support_posix.h"
#include "platform/file_times.h"

namespace korvane::platform {
namespace {

class PosixFileTimes final : public FileTimes {
  public:
    bool LastWriteTimeUtc(const std::string& fileName, CalendarTime& time) const override {
        const PosixFile file(fileName);
        struct stat status {};
        // Windows does not open a folder as a file, so a folder has no time either.
        if (!file.Status(status) || S_ISDIR(status.st_mode)) return false;
        struct tm calendar {};
        const time_t seconds = status.st_mtime;
        if (gmtime_r(&seconds, &calendar) == nullptr) return false;
        time = {calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday,
                calendar.tm_hour,        calendar.tm_min,     calendar.tm_sec};
        return true;
    }
};

}  // namespace

const FileTimes& SystemFileTimes() {
    static const PosixFileTimes times;
    return times;
}

}  // namespace korvane::platform
