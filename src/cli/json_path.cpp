#include "cli/json_path.h"

#include "setupfile/display_text.h"

namespace korvane::cli {

namespace {

// Printable ASCII, as every key of the grammar is, shows as itself in every code page.
bool IsPrintableAscii(std::string_view text) {
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

}  // namespace

std::string MemberPath(const std::string& path, std::string_view key) {
    const std::string shown = IsPrintableAscii(key)
                                  ? std::string(key)
                                  : setupfile::DisplayForm(setupfile::LocalFormOfUtf8(key));
    return path.empty() ? shown : path + "." + shown;
}

std::string ElementPath(const std::string& path, std::size_t position) {
    return path + "[" + std::to_string(position) + "]";
}

}  // namespace korvane::cli
