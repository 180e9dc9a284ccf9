// The file's own text of the values and keys that the system code page cannot hold. A load
// converts every text to the code page, where a character it lacks becomes '?'; for each text
// that lost characters so, the load keeps the text as the file had it (UTF-8) here, and a save
// writes that back instead, so that a load and a save never lose a character. Texts that
// convert without loss keep nothing, so a description the code page holds whole costs one empty
// map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "model/tables.h"

namespace korvane::model {

// The table a kept text belongs to.
enum class KeptTable : std::uint8_t {
    Files,
    Registries,
    PreKills,
    UpKills,
    PreExecute,
    PostExecute,
    UpdateExecute,
    DeleteExecute,
    ReservedWords,
    ElementFields,
};

KeptTable KeptTableOf(CommandKind list);

// The texts of an entry of a keyed table (reserved words, configuration fields): its key and
// its value (a word's meaning, a field's text).
inline constexpr std::size_t kKeyText = 0;
inline constexpr std::size_t kValueText = 1;

class KeptTexts {
  public:
    // An entry of a list (records and commands) by its position; `field` is the record's text
    // index (0 for a command). An earlier text kept at that place is replaced.
    void Keep(KeptTable table, std::size_t entry, std::size_t field, std::string utf8);
    // An entry of a keyed table by its key, in the code page.
    void Keep(KeptTable table, std::string_view key, std::size_t field, std::string utf8);

    // The kept text at that place, or null.
    const std::string* Find(KeptTable table, std::size_t entry, std::size_t field) const;
    const std::string* Find(KeptTable table, std::string_view key, std::size_t field) const;

    void Drop(KeptTable table, std::size_t entry, std::size_t field);

    bool empty() const { return texts_.empty(); }
    std::size_t size() const { return texts_.size(); }
    void clear() { texts_.clear(); }
    void swap(KeptTexts& other) noexcept { texts_.swap(other.texts_); }

  private:
    struct Place {
        KeptTable table;
        std::string key;  // keyed tables only
        std::uint32_t entry;
        std::uint8_t field;
    };
    struct PlaceView {
        KeptTable table;
        std::string_view key;
        std::uint32_t entry;
        std::uint8_t field;
    };
    // By table, key, entry and field; lookups need no copy of the key.
    struct Order {
        using is_transparent = void;
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            if (a.table != b.table) return a.table < b.table;
            const std::string_view aKey(a.key), bKey(b.key);
            if (aKey != bKey) return ByteOrder()(aKey, bKey);
            if (a.entry != b.entry) return a.entry < b.entry;
            return a.field < b.field;
        }
    };

    static PlaceView At(KeptTable table, std::string_view key, std::size_t entry,
                        std::size_t field) {
        return {table, key, static_cast<std::uint32_t>(entry), static_cast<std::uint8_t>(field)};
    }
    void Put(const PlaceView& place, std::string utf8);
    const std::string* Get(const PlaceView& place) const;

    std::map<Place, std::string, Order> texts_;
};

}  // namespace korvane::model
