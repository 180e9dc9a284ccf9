// korvane check: prints, with line numbers, everything that loading a setup file would
// silently change or drop (setupfile/setup_check.h).
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "platform/files.h"
#include "setupfile/setup_check.h"

namespace korvane::cli {

int Check(const std::string& file) {
    return CheckTo(file, std::cout);
}

int CheckTo(const std::string& file, std::ostream& findings) {
    std::string bytes;
    if (const int readError = platform::ReadRegularFile(file, platform::kMaxReadBytes, bytes)) {
        std::cerr << "korvane: " << file << ": cannot read: " << platform::ErrorText(readError)
                  << "\n";
        return kFailure;
    }
    const setupfile::CheckResult result = setupfile::CheckSetupBytes(bytes);
    if (!result.parsed) {
        findings << file << ":" << result.error.line << ":" << result.error.column
                 << ": not well-formed XML: " << result.error.text << "\n";
        return kFailure;
    }
    for (const setupfile::CheckFinding& finding : result.findings) {
        findings << file << ":" << finding.line << ": " << (finding.warning ? "warning: " : "")
                 << finding.message << "\n";
    }
    if (result.expandsBeyond)
        findings << file << ": expands beyond what can be read (entity expansion)\n";
    return result.Clean() ? kSuccess : kFailure;
}

}  // namespace korvane::cli
