// A record of a section built from the texts of its values, and the text a save writes for
// each value: the one place where a value's text becomes a number or a flag, and back. A load,
// the command's JSON form and `korvane stamp` build records through RecordFromTexts, so each of
// them carries every value the grammar declares.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/decimal.h"
#include "model/packed_texts.h"
#include "setupfile/grammar.h"

namespace korvane::setupfile {

// The record whose values have the texts `values`, given in the order of `rule.values`, each in
// the system code page and as a load keeps it (at most the value's capacity - 1 bytes). A value
// kept as text is stored as it is (a text longer than its field is cut at the last whole
// character that fits); a Number reads as model::ParseDecimal reads it ("12abc" is 12, "" is
// 0); a Flag is 1 for the exact text "1" and 0 for any other.
template <typename Record, std::size_t N>
Record RecordFromTexts(const RecordSection<Record, N>& rule,
                       const std::array<std::string_view, N>& values) {
    Record record;
    std::array<std::string_view, Record::kTextCount> texts;
    for (std::size_t position = 0; position < N; ++position) {
        const ValueRule<Record>& value = rule.values[position];
        if (value.StoredAsText()) {
            texts[value.text] = values[position];
        } else if (value.kind == ValueKind::Flag) {
            record.*value.number = values[position] == "1" ? 1 : 0;
        } else {
            record.*value.number = model::ParseDecimal(values[position]);
        }
    }
    record.texts = model::PackedTexts<Record::kTextCount>(texts, Record::kWidths);
    return record;
}

// The text a save writes for `number` as a value of `kind`: a flag "1" when set (any non-zero
// number) and "0" when not, any other number in decimal. RecordFromTexts reads it back as the
// same number (a set flag as 1).
inline std::string NumberText(ValueKind kind, std::int32_t number) {
    if (kind == ValueKind::Flag) return number != 0 ? "1" : "0";
    return model::FormatDecimal(number);
}

// The text a save writes for `value` of `record`.
template <typename Record>
std::string ValueText(const Record& record, const ValueRule<Record>& value) {
    if (value.StoredAsText()) return std::string(record.texts[value.text]);
    return NumberText(value.kind, record.*value.number);
}

}  // namespace korvane::setupfile
