#include "xml/xml_name.h"

namespace korvane::xml {
namespace {

struct Range {
    char32_t first, last;
};

// NameStartChar of XML 1.0 (fifth edition), without ':'.
constexpr Range kStartRanges[] = {
    {'A', 'Z'},         {'_', '_'},         {'a', 'z'},         {0xC0, 0xD6},
    {0xD8, 0xF6},       {0xF8, 0x2FF},      {0x370, 0x37D},     {0x37F, 0x1FFF},
    {0x200C, 0x200D},   {0x2070, 0x218F},   {0x2C00, 0x2FEF},   {0x3001, 0xD7FF},
    {0xF900, 0xFDCF},   {0xFDF0, 0xFFFD},   {0x10000, 0xEFFFF},
};

// What NameChar adds to NameStartChar.
constexpr Range kFollowingRanges[] = {
    {'-', '-'}, {'.', '.'}, {'0', '9'}, {0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040},
};

template <std::size_t N>
bool InRanges(char32_t c, const Range (&ranges)[N]) {
    for (const Range& range : ranges) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

}  // namespace

bool IsElementName(std::u16string_view name) {
    if (name.empty()) return false;
    bool first = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        const bool allowed = InRanges(c, kStartRanges) || (!first && InRanges(c, kFollowingRanges));
        if (!allowed) return false;
        first = false;
    }
    return true;
}

}  // namespace korvane::xml
