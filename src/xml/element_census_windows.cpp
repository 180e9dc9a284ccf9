#include "xml/element_census_windows.h"

#include <string>
#include <unordered_set>

#include "xml/xml_rules.h"

namespace korvane::xml {
namespace {

bool EndsName(char16_t c) {
    return c == u'/' || c == u'>' || (c < 0x80 && IsXmlSpace(static_cast<char>(c)));
}

ElementCensus Refusal(std::u16string_view text, std::size_t at, ElementCensus::Verdict verdict) {
    ElementCensus census;
    census.verdict = verdict;
    census.line = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == u'\n') {
            ++census.line;
            census.column = 0;
        } else {
            ++census.column;
        }
    }
    ++census.column;
    return census;
}

// Where the construct that ends with `terminator` and starts at `at` ends: just after the
// terminator, or the end of the text.
std::size_t After(std::u16string_view text, std::size_t at, std::u16string_view terminator) {
    const std::size_t found = text.find(terminator, at);
    return found == std::u16string_view::npos ? text.size() : found + terminator.size();
}

// Just after the '>' that ends the start tag whose name ends at `at`, quoted values skipped.
std::size_t AfterStartTag(std::u16string_view text, std::size_t at) {
    while (at < text.size() && text[at] != u'>') {
        if (text[at] == u'"' || text[at] == u'\'') {
            at = After(text, at + 1, text.substr(at, 1));
        } else {
            ++at;
        }
    }
    return at < text.size() ? at + 1 : at;
}

bool Follows(std::u16string_view text, std::size_t at, std::u16string_view word) {
    return text.substr(at, word.size()) == word;
}

}  // namespace

ElementCensus TakeElementCensus(std::u16string_view text, std::size_t maxElementNames) {
    std::unordered_set<std::u16string_view> names;
    std::size_t at = 0;
    while ((at = text.find(u'<', at)) != std::u16string_view::npos) {
        const std::size_t start = at;
        ++at;
        if (Follows(text, at, u"!--")) {
            at = After(text, at + 3, u"-->");
        } else if (Follows(text, at, u"![CDATA[")) {
            at = After(text, at + 8, u"]]>");
        } else if (Follows(text, at, u"!DOCTYPE")) {
            return Refusal(text, start, ElementCensus::Verdict::DocumentType);
        } else if (Follows(text, at, u"?")) {
            at = After(text, at + 1, u"?>");
        } else if (Follows(text, at, u"/") || Follows(text, at, u"!")) {
            at = After(text, at, u">");
        } else {
            std::size_t end = at;
            while (end < text.size() && !EndsName(text[end])) ++end;
            names.insert(text.substr(at, end - at));
            if (names.size() > maxElementNames)
                return Refusal(text, start, ElementCensus::Verdict::TooManyElementNames);
            at = AfterStartTag(text, end);
        }
    }
    return ElementCensus();
}

}  // namespace korvane::xml
