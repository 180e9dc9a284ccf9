#include "model/path_expansion.h"

#include <cstring>

#include "platform/code_page.h"

namespace korvane::model {
namespace {

std::string_view FitExpansionBuffer(std::string_view text) {
    return text.substr(0, platform::WholeCharPrefix(text, kExpansionBufferSize - 1));
}

}  // namespace

std::string ReplaceAll(std::string_view source, std::string_view word,
                       std::string_view replacement) {
    if (word.empty()) return std::string(source);
    const unsigned codePage = platform::ActiveCodePage();
    std::string output;
    output.reserve(source.size());
    std::size_t copiedUpTo = 0;
    std::size_t at = 0;
    while (at + word.size() <= source.size()) {
        if (std::memcmp(source.data() + at, word.data(), word.size()) == 0) {
            output.append(source, copiedUpTo, at - copiedUpTo);
            output.append(replacement);
            at += word.size();
            copiedUpTo = at;
        } else {
            at += platform::CharLengthIn(codePage, source.data() + at, source.size() - at);
        }
    }
    output.append(source, copiedUpTo, std::string_view::npos);
    return output;
}

std::string ExpandReservedWords(const ReservedWordTable& words, std::string_view setupPath) {
    std::string working(FitExpansionBuffer(setupPath));
    for (const auto& [word, entry] : words) {
        if (word.empty()) continue;
        const std::string replaced = ReplaceAll(working, word, entry.Expansion());
        working.assign(FitExpansionBuffer(replaced));
    }
    return working;
}

}  // namespace korvane::model
