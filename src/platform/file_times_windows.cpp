// File times on Windows: the last-write time of a file opened for reading without sharing, in
// UTC (the file time is converted to calendar form without any change of zone).
#include "platform/file_support_windows.h"
#include "platform/file_times.h"

namespace korvane::platform {
namespace {

class WindowsFileTimes final : public FileTimes {
  public:
    bool LastWriteTimeUtc(const std::string& fileName, CalendarTime& time) const override {
        // No sharing: a file that another handle holds open has no time to give.
        const FileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        FILETIME created, accessed, written;
        SYSTEMTIME calendar;
        if (!file.IsOpen() || !GetFileTime(file.Get(), &created, &accessed, &written) ||
            !FileTimeToSystemTime(&written, &calendar)) {
            return false;
        }
        time = {calendar.wYear, calendar.wMonth,  calendar.wDay,
                calendar.wHour, calendar.wMinute, calendar.wSecond};
        return true;
    }
};

}  // namespace

const FileTimes& SystemFileTimes() {
    static const WindowsFileTimes times;
    return times;
}

}  // namespace korvane::platform
