// A look at a decoded document before the Windows XML component parses it, for what the
// markup scanner does not count: the component expands entities without a bound the library
// can set, so a document with a document type declaration is refused; and it slows down with
// every distinct element name, so a document with more than a setup file could hold is refused.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvane::xml {

struct ElementCensus {
    enum class Verdict { Accepted, DocumentType, TooManyElementNames };
    Verdict verdict = Verdict::Accepted;
    long line = 0;  // where the refusal was found (1-based)
    long column = 0;
};

// Follows the markup of `text` (start and end tags, quoted values, comments, CDATA sections,
// processing instructions) and refuses a DOCTYPE or more than `maxElementNames` distinct
// element names.
ElementCensus TakeElementCensus(std::u16string_view text, std::size_t maxElementNames);

}  // namespace korvane::xml
