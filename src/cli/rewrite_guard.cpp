#include "cli/rewrite_guard.h"

#include <iostream>
#include <sstream>

#include "cli/commands.h"

namespace korvane::cli {

bool LoadKeepsAllOrForced(const std::string& file, bool force, const std::string& rewriting) {
    if (force) return true;
    std::ostringstream findings;
    if (CheckTo(file, findings) == kSuccess) return true;
    std::cerr << findings.str() << "korvane: " << file
              << ": a load would change or drop what is listed above, so " << rewriting
              << " would lose it; fix the file or give --force\n";
    return false;
}

}  // namespace korvane::cli
