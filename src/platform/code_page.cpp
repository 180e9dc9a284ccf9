#include "platform/code_page.h"

#include <atomic>

#include "platform/code_page_system.h"

namespace korvane::platform {
namespace {

std::atomic<unsigned> selectedForTesting{0};

// Length of a well-formed UTF-8 sequence starting at text[0], or 1 when it is not one.
std::size_t Utf8CharLength(const unsigned char* text, std::size_t available) {
    const unsigned char lead = text[0];
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 1;
    }
    if (available < length) return 1;
    if (text[1] < low || text[1] > high) return 1;
    for (std::size_t i = 2; i < length; ++i) {
        if (text[i] < 0x80 || text[i] > 0xBF) return 1;
    }
    return length;
}

}  // namespace

unsigned ActiveCodePage() {
    const unsigned selected = selectedForTesting.load(std::memory_order_relaxed);
    return selected != 0 ? selected : SystemCodePage();
}

void SelectCodePageForTesting(unsigned codePage) {
    selectedForTesting.store(codePage, std::memory_order_relaxed);
}

std::size_t CharLengthIn(unsigned codePage, const char* text, std::size_t available) {
    if (available == 0) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (bytes[0] < 0x80) return 1;
    if (codePage == kCodePageUtf8) return Utf8CharLength(bytes, available);
    if (codePage == 0) return CharLengthInUnnumbered(bytes, available);
    // A lead byte counts as a two-byte character only when a trail byte follows it.
    if (IsLeadByte(codePage, bytes[0]) && available >= 2 && bytes[1] != 0) return 2;
    return 1;
}

std::size_t CharLength(const char* text, std::size_t available) {
    return CharLengthIn(ActiveCodePage(), text, available);
}

std::size_t WholeCharPrefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    const unsigned codePage = ActiveCodePage();
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharLengthIn(codePage, text.data() + end, text.size() - end);
        if (next > maxBytes) break;
        end = next;
    }
    return end;
}

}  // namespace korvane::platform
