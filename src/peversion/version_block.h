// Values of a version information block (VS_VERSIONINFO), the content of a version resource: a
// tree of nodes, each with a UTF-16 key, a value and children, addressed by paths of keys such
// as \StringFileInfo\040904b0\FileVersion.
//
// The block is untrusted. A node must fit in its parent and be longer than its header, so every
// walk ends; a value longer than its node is cut at the node's end.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "peversion/translation.h"

namespace korvane::peversion {

// Where a value lies in its block.
struct VersionValue {
    std::size_t offset;  // first byte
    std::size_t size;    // bytes, never past the end of its node
};

// The value at `path` in `block`: keys of nested nodes separated by backslashes, compared
// without regard to ASCII case; the root's value for the path "\". Nothing when a node on the
// way is missing or corrupt.
std::optional<VersionValue> FindVersionValue(const std::vector<unsigned char>& block,
                                             std::string_view path);

// The value read as text: its UTF-16 code units up to the first NUL.
std::u16string VersionText(const std::vector<unsigned char>& block, const VersionValue& value);

// The value read as a translation table: one entry per whole four bytes.
std::vector<Translation> VersionTranslations(const std::vector<unsigned char>& block,
                                             const VersionValue& value);

}  // namespace korvane::peversion
