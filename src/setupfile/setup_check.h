// A setup file checked for everything a load would silently change or drop, each finding with
// its line. The check follows the same walk of the file's events as a load (SetupWalk), so it
// reports what the load does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "xml/dom.h"

namespace korvane::setupfile {

struct CheckFinding {
    long line = 0;
    std::string message;  // what a load does, with the file's texts shown as DisplayForm shows them
    bool warning = false;  // nothing is lost: the file still passes
};

struct CheckResult {
    bool parsed = false;  // false: `error` says why the file is not well-formed or is refused
    xml::ParseError error;
    bool expandsBeyond = false;          // a value expands beyond what a load reads: the load fails
    std::vector<CheckFinding> findings;  // in line order
    // True when a load takes the file as it stands: it parses and nothing but warnings was
    // found.
    bool Clean() const;
};

// Checks the setup file `bytes` (a file's bytes in the encoding it declares or marks).
CheckResult CheckSetupBytes(std::string_view bytes);

}  // namespace korvane::setupfile
