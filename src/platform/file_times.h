// The last-write time of a file, behind an interface so that tests can script any time.
#pragma once

#include <string>

namespace korvane::platform {

// A point in time in calendar form, in UTC.
struct CalendarTime {
    int year;    // e.g. 2007
    int month;   // 1 to 12
    int day;     // 1 to 31
    int hour;    // 0 to 23
    int minute;  // 0 to 59
    int second;  // 0 to 60
};

class FileTimes {
  public:
    virtual ~FileTimes() = default;

    // The last-write time of file `fileName` in UTC. False when the file cannot be opened for
    // reading (missing, no access, a folder) or its time cannot be read.
    virtual bool LastWriteTimeUtc(const std::string& fileName, CalendarTime& time) const = 0;
};

// The running system's file times.
const FileTimes& SystemFileTimes();

}  // namespace korvane::platform
