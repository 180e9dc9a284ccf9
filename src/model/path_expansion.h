// Turning a setup path into a real path by replacing reserved words with their expansions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/tables.h"

namespace korvane::model {

// Size of the expansion buffer, terminator included: a setup path and the text after every
// pass are cut to at most 1023 bytes, at the last whole character that fits.
inline constexpr std::size_t kExpansionBufferSize = 1024;

// `source` with every occurrence of `word` replaced by `replacement`. Occurrences are found
// left to right, never overlap, and start only at character boundaries of the active code
// page. Inserted text is not searched again. An empty word matches nowhere.
std::string ReplaceAll(std::string_view source, std::string_view word,
                       std::string_view replacement);

// Applies every word of `words` once, in ascending key order, each over the text that the
// words before it produced. Empty words are skipped.
std::string ExpandReservedWords(const ReservedWordTable& words, std::string_view setupPath);

}  // namespace korvane::model
