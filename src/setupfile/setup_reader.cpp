#include "setupfile/setup_reader.h"

#include <functional>
#include <vector>

#include "setupfile/grammar.h"
#include "setupfile/read_text.h"
#include "setupfile/record_texts.h"

namespace korvane::setupfile {
namespace {

using AddItem = std::function<void(model::SetupDocument&, const WalkedItem&)>;

// The text of `value` as the description holds it, at most `capacity` - 1 bytes in the code
// page, cut at a whole character. The parser hands out well-formed UTF-8.
ReadText LocalText(WalkedValue& value, std::size_t capacity) {
    return ReadUtf8Text(std::move(value.utf8), capacity - 1);
}

// What a finished item of each section adds to the description, in the order of the sections.
struct AdderOf {
    AddItem operator()(const ReserveSection& rule) const {
        return AddItem([&rule](model::SetupDocument& setup, const WalkedItem& item) {
            ReadText word = LocalText(item.values[0], rule.wordCapacity);
            ReadText meaning = LocalText(item.values[1], rule.meaningCapacity);
            // A word read from a file has no expansion; that is given at run time only. Words
            // are compared in the code page: of two that read the same, the first stays, with
            // its own texts.
            const std::size_t before = setup.ReservedWords().size();
            setup.AddReservedWord(word.text, meaning.text, "");
            if (setup.ReservedWords().size() != before)
                KeepLossyKeyed(setup, model::KeptTable::ReservedWords, word, meaning);
        });
    }
    AddItem operator()(const ConfigSection& rule) const {
        return AddItem([&rule](model::SetupDocument& setup, const WalkedItem& item) {
            ReadText name = ReadUtf8Text(std::string(item.name));
            ReadText value = LocalText(item.values[0], rule.valueCapacity);
            const std::size_t before = setup.ElementFields().size();
            setup.AddElementField(name.text, value.text);
            if (setup.ElementFields().size() != before)
                KeepLossyKeyed(setup, model::KeptTable::ElementFields, name, value);
        });
    }
    AddItem operator()(const CommandSection& rule) const {
        return AddItem([&rule](model::SetupDocument& setup, const WalkedItem& item) {
            ReadText command = LocalText(item.values[0], kCommandCapacity);
            const std::size_t count = setup.AddCommand(rule.list, command.text);
            KeepLossy(setup, model::KeptTableOf(rule.list), count - 1, 0, command);
        });
    }
    template <typename Record, std::size_t N>
    AddItem operator()(const RecordSection<Record, N>& rule) const {
        return AddItem([&rule](model::SetupDocument& setup, const WalkedItem& item) {
            std::array<ReadText, N> read;
            std::array<std::string_view, N> texts;
            for (std::size_t i = 0; i < N; ++i) {
                read[i] = LocalText(item.values[i], rule.values[i].capacity);
                texts[i] = read[i].text;
            }
            const std::size_t count = (setup.*rule.append)(RecordFromTexts(rule, texts));
            for (std::size_t i = 0; i < N; ++i) {
                if (rule.values[i].StoredAsText())
                    KeepLossy(setup, rule.kept, count - 1, rule.values[i].text, read[i]);
            }
        });
    }
};

const std::vector<AddItem>& ItemAdders() {
    static const std::vector<AddItem> adders = MapSections<AddItem>(AdderOf());
    return adders;
}

}  // namespace

void SetupReader::ItemEnd(WalkedItem& item) {
    ItemAdders()[item.section](setup_, item);
}

}  // namespace korvane::setupfile
