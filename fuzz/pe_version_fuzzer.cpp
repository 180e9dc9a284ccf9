// Fuzzes the reader of version texts from PE images: the input is read as a whole file, and
// also as a version information block on its own, so that both parsers see crafted bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "peversion/byte_source.h"
#include "peversion/pe_version_reader.h"
#include "peversion/version_block.h"
#include "platform/code_page.h"

namespace {

using korvane::peversion::FindVersionValue;

// What the version-text lookup asks of a block: the translation table, then the FileVersion of
// every translation, as text in the system code page.
void QueryBlock(const std::vector<unsigned char>& block) {
    const auto table = FindVersionValue(block, "\\VarFileInfo\\Translation");
    if (!table) return;
    for (const auto& translation : korvane::peversion::VersionTranslations(block, *table)) {
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion",
                      static_cast<unsigned>(translation.language),
                      static_cast<unsigned>(translation.codePage));
        if (const auto value = FindVersionValue(block, query)) {
            korvane::platform::FromUtf16(korvane::peversion::VersionText(block, *value));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const korvane::peversion::MemoryByteSource image(data, size);
    if (const auto resource = korvane::peversion::ReadPeVersionResource(image))
        QueryBlock(*resource);
    QueryBlock(std::vector<unsigned char>(data, data + size));
    return 0;
}
