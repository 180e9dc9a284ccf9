// What every DOM backend decides alike, whatever parser lies beneath: the bounds a loaded
// document must keep, the words a refusal gives, whether a transform's result is one document,
// and what may be created in a document.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::xml {

// A setup file uses about 40 distinct element names. A parser's name table slows down with
// every distinct name it holds, so a document with many more is refused.
inline constexpr std::size_t kMaxElementNames = 10000;

// How many nodes text extraction may visit over the life of one document. A setup file needs
// a few per value; a document whose entities expand into millions of nodes is refused.
class TextVisitBudget {
  public:
    // Takes `visits` from what is left; false, taking nothing, when fewer are left.
    bool Spend(std::size_t visits) {
        if (left_ < visits) return false;
        left_ -= visits;
        return true;
    }
    // A new document starts with the whole budget.
    void Renew() { left_ = kVisits; }

  private:
    static constexpr std::size_t kVisits = 32u * 1024 * 1024;
    std::size_t left_ = kVisits;
};

// Appends to `out` as much of `piece` as keeps `out` within `maxBytes`, cut at a whole UTF-8
// character. False when `piece` did not fit whole: the text is then complete.
bool AppendWithin(std::string& out, std::string_view piece, std::size_t maxBytes);

// The text of a load refused before or while parsing: "refused: " and why.
std::string RefusalText(std::string_view why);

// The text of the refusal of a document with more than kMaxElementNames element names.
std::string TooManyNamesText();

// What a transform's result holds at its top level, taken node by node in order: it loads back
// as a document only when it holds exactly one element, besides markup (comments, processing
// instructions, a document type where the backend keeps one) and blank text.
class TopLevelNodes {
  public:
    enum class Kind { Element, Markup, Text, Other };
    // Takes the next node; `text` is the value of a text node. False once the result cannot be
    // one document whatever follows.
    bool Take(Kind kind, std::string_view text = std::string_view());
    bool OneDocument() const { return !stray_ && elements_ == 1; }

  private:
    int elements_ = 0;
    bool stray_ = false;
};

// Whether an element named `name` (UTF-8) may be created in a document whose declaration names
// `encoding` (empty: none, which is UTF-8): an XML name that the encoding writes as it is,
// since element names cannot fall back on character references the way text does.
bool IsCreatableElementName(std::string_view name, std::string_view encoding);

}  // namespace korvane::xml
