// The tables of the setup description.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace korvane::model {

// Key order of the maps: bytes compared as unsigned values, a proper prefix first, no locale.
struct ByteOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        const std::size_t common = a.size() < b.size() ? a.size() : b.size();
        const int byBytes = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
        return byBytes != 0 ? byBytes < 0 : a.size() < b.size();
    }
};

// An ordered list of records.
template <typename Record>
using RecordList = std::vector<Record>;

// Reserved words in key order, readable by position in constant time. Adding a word takes
// O(log n); the positions are indexed again on the first read by position after a change.
class ReservedWordTable {
  public:
    using Map = std::map<std::string, ReservedWordEntry, ByteOrder>;
    using value_type = Map::value_type;

    // Adds `word` with its meaning and expansion unless the word is present; false when it was.
    bool Add(std::string_view word, std::string_view meaning, std::string_view expansion) {
        // A saved file holds its words in key order: each then goes after the last, found
        // without a search.
        const bool last = !words_.empty() && ByteOrder()(words_.rbegin()->first, word);
        const auto place = last ? words_.end() : words_.lower_bound(word);
        if (place != words_.end() && place->first == word) return false;
        words_.emplace_hint(place, std::string(word),
                            ReservedWordEntry{{{meaning, expansion}, ReservedWordEntry::kWidths}});
        byPosition_.clear();
        return true;
    }

    // The word and entry at `position` in key order; null outside the table.
    const value_type* At(std::size_t position) const {
        if (position >= words_.size()) return nullptr;
        if (byPosition_.size() != words_.size()) {
            byPosition_.clear();
            byPosition_.reserve(words_.size());
            for (const value_type& word : words_) byPosition_.push_back(&word);
        }
        return byPosition_[position];
    }

    Map::const_iterator find(std::string_view word) const { return words_.find(word); }
    Map::const_iterator begin() const { return words_.begin(); }
    Map::const_iterator end() const { return words_.end(); }
    std::size_t size() const { return words_.size(); }
    bool empty() const { return words_.empty(); }
    void clear() {
        words_.clear();
        byPosition_.clear();
    }

  private:
    Map words_;
    // Every word's place, in key order; stale (and then rebuilt) when its size differs.
    mutable std::vector<const value_type*> byPosition_;
};

using ElementFieldTable = std::map<std::string, std::string, ByteOrder>;
using CommandList = std::vector<std::string>;

// The four command lists, one per moment of an installation.
enum class CommandKind { PreExecute, PostExecute, UpdateExecute, DeleteExecute };

}  // namespace korvane::model
