#include "platform/code_page.h"

#include <atomic>

#include "platform/code_page_system.h"
#include "platform/utf8.h"

namespace korvane::platform {
namespace {

std::atomic<unsigned> selectedForTesting{0};

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
    if (codePage == kCodePageUtf8) return Utf8CharLength(text, available);
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

bool FromUtf8Exactly(std::string_view text, std::string& out) {
    out = FromUtf8(text);
    // ASCII, and anything under UTF-8, converts to itself.
    if (out == text && (IsAscii(text) || ActiveCodePage() == kCodePageUtf8)) return true;
    std::string back;
    return ToUtf8(out, back) && back == text;
}

std::size_t Utf8PrefixConvertingWithin(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0, converted = 0;
    while (end < text.size()) {
        const std::size_t length = Utf8CharLength(text.data() + end, text.size() - end);
        converted += FromUtf8(text.substr(end, length)).size();
        if (converted > maxBytes) break;
        end += length;
    }
    return end;
}

}  // namespace korvane::platform
