#include "peversion/version_block.h"

#include <algorithm>
#include <cstdint>

namespace korvane::peversion {
namespace {

// wLength, wValueLength and wType.
constexpr std::size_t kNodeHeaderSize = 6;
// wType of a node whose value is text; its wValueLength counts 16-bit units, not bytes.
constexpr std::uint16_t kTextValue = 1;

std::uint16_t U16(const std::vector<unsigned char>& block, std::size_t offset) {
    return static_cast<std::uint16_t>(block[offset] | block[offset + 1] << 8);
}

// Nodes start at multiples of four bytes from the start of the block.
std::size_t AlignedUp(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

struct Node {
    std::size_t end;
    std::size_t keyOffset;
    std::size_t keyUnits;  // without the terminator
    VersionValue value;
    std::size_t childrenOffset;
};

// The node at `offset`, which must end by `limit` (at most the block's size).
std::optional<Node> ReadNode(const std::vector<unsigned char>& block, std::size_t offset,
                             std::size_t limit) {
    if (offset > limit || limit - offset < kNodeHeaderSize) return std::nullopt;
    const std::size_t length = U16(block, offset);
    // A node no longer than its header would never advance a walk; one longer than its parent
    // is corrupt.
    if (length < kNodeHeaderSize || length > limit - offset) return std::nullopt;
    Node node{};
    node.end = offset + length;

    node.keyOffset = offset + kNodeHeaderSize;
    std::size_t keyEnd = node.keyOffset;
    for (;;) {
        if (node.end - keyEnd < 2) return std::nullopt;  // no terminator inside the node
        if (U16(block, keyEnd) == 0) break;
        keyEnd += 2;
    }
    node.keyUnits = (keyEnd - node.keyOffset) / 2;

    const std::size_t valueLength = U16(block, offset + 2);
    const std::size_t valueBytes =
        U16(block, offset + 4) == kTextValue ? 2 * valueLength : valueLength;
    const std::size_t valueOffset = std::min(AlignedUp(keyEnd + 2), node.end);
    node.value = {valueOffset, std::min(valueBytes, node.end - valueOffset)};
    node.childrenOffset = std::min(AlignedUp(valueOffset + valueBytes), node.end);
    return node;
}

bool KeyIs(const std::vector<unsigned char>& block, const Node& node, std::string_view key) {
    if (node.keyUnits != key.size()) return false;
    const auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < key.size(); ++i) {
        const unsigned unit = U16(block, node.keyOffset + 2 * i);
        if (lower(unit) != lower(static_cast<unsigned char>(key[i]))) return false;
    }
    return true;
}

std::optional<Node> FindChild(const std::vector<unsigned char>& block, const Node& parent,
                              std::string_view key) {
    std::size_t offset = parent.childrenOffset;
    // Each child is at least a header long, so the offset grows at every step.
    while (parent.end - offset >= kNodeHeaderSize) {
        const auto child = ReadNode(block, offset, parent.end);
        if (!child) return std::nullopt;
        if (KeyIs(block, *child, key)) return child;
        offset = std::min(AlignedUp(child->end), parent.end);
    }
    return std::nullopt;
}

}  // namespace

std::optional<VersionValue> FindVersionValue(const std::vector<unsigned char>& block,
                                             std::string_view path) {
    auto node = ReadNode(block, 0, block.size());
    std::size_t start = 0;
    while (node && start < path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string_view key = path.substr(start, end - start);
        start = end + 1;
        if (!key.empty()) node = FindChild(block, *node, key);
    }
    if (!node) return std::nullopt;
    return node->value;
}

std::u16string VersionText(const std::vector<unsigned char>& block, const VersionValue& value) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.size; i += 2) {
        const char16_t unit = U16(block, value.offset + i);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

std::vector<Translation> VersionTranslations(const std::vector<unsigned char>& block,
                                             const VersionValue& value) {
    std::vector<Translation> table;
    for (std::size_t i = 0; i + 3 < value.size; i += 4) {
        table.push_back({U16(block, value.offset + i), U16(block, value.offset + i + 2)});
    }
    return table;
}

}  // namespace korvane::peversion
