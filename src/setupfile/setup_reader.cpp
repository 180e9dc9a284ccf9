#include "setupfile/setup_reader.h"

#include <functional>
#include <vector>

#include "setupfile/grammar.h"
#include "setupfile/read_text.h"
#include "setupfile/record_texts.h"
#include "xml/load_bounds.h"

namespace korvane::setupfile {
namespace {

using Values = std::array<SetupReader::ValueText, SetupReader::kMaxValues>;

// The text of `value` as the description holds it, at most `capacity` - 1 bytes in the code
// page, cut at a whole character.
ReadText LocalText(SetupReader::ValueText& value, std::size_t capacity) {
    // The parser hands out well-formed UTF-8.
    return ReadUtf8Text(std::move(value.utf8), capacity - 1);
}

// How the reader takes one section: its name, the names of its values and how much of each
// it keeps (none: the item's own text is its one value), and what a finished item adds.
struct SectionPlan {
    const char* name;
    std::vector<std::string_view> values;
    std::vector<std::size_t> capacities;  // one per value, or the item's own
    std::function<void(model::SetupDocument&, std::string_view item, Values&)> add;
};

// A character of the code page takes at most four bytes of UTF-8 (and a character it lacks
// becomes one '?'), so this much UTF-8 always fills the capacity.
constexpr std::size_t Utf8Bound(std::size_t capacity) {
    return 4 * (capacity - 1);
}

class Plans {
  public:
    void operator()(const ReserveSection& rule) {
        plans_.push_back({rule.section,
                          {rule.wordElement, rule.meaningElement},
                          {rule.wordCapacity, rule.meaningCapacity},
                          [&rule](model::SetupDocument& setup, std::string_view, Values& values) {
                              ReadText word = LocalText(values[0], rule.wordCapacity);
                              ReadText meaning = LocalText(values[1], rule.meaningCapacity);
                              // A word read from a file has no expansion; that is given at run
                              // time only. Words are compared in the code page: of two that
                              // read the same, the first stays, with its own texts.
                              const std::size_t before = setup.ReservedWords().size();
                              setup.AddReservedWord(word.text, meaning.text, "");
                              if (setup.ReservedWords().size() != before)
                                  KeepLossyKeyed(setup, model::KeptTable::ReservedWords, word,
                                                 meaning);
                          }});
    }
    void operator()(const ConfigSection& rule) {
        plans_.push_back(
            {rule.section,
             {},
             {rule.valueCapacity},
             [&rule](model::SetupDocument& setup, std::string_view item, Values& values) {
                 ReadText name = ReadUtf8Text(std::string(item));
                 ReadText value = LocalText(values[0], rule.valueCapacity);
                 const std::size_t before = setup.ElementFields().size();
                 setup.AddElementField(name.text, value.text);
                 if (setup.ElementFields().size() != before)
                     KeepLossyKeyed(setup, model::KeptTable::ElementFields, name, value);
             }});
    }
    void operator()(const CommandSection& rule) {
        plans_.push_back({rule.section,
                          {},
                          {kCommandCapacity},
                          [&rule](model::SetupDocument& setup, std::string_view, Values& values) {
                              ReadText command = LocalText(values[0], kCommandCapacity);
                              const std::size_t count = setup.AddCommand(rule.list, command.text);
                              KeepLossy(setup, model::KeptTableOf(rule.list), count - 1, 0,
                                        command);
                          }});
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        static_assert(N <= SetupReader::kMaxValues);
        SectionPlan plan{rule.section, {}, {}, nullptr};
        for (const ValueRule<Record>& value : rule.values) {
            plan.values.push_back(value.element);
            plan.capacities.push_back(value.capacity);
        }
        plan.add = [&rule](model::SetupDocument& setup, std::string_view, Values& values) {
            std::array<ReadText, N> read;
            std::array<std::string_view, N> texts;
            for (std::size_t i = 0; i < N; ++i) {
                read[i] = LocalText(values[i], rule.values[i].capacity);
                texts[i] = read[i].text;
            }
            const std::size_t count = (setup.*rule.append)(RecordFromTexts(rule, texts));
            for (std::size_t i = 0; i < N; ++i) {
                if (rule.values[i].StoredAsText())
                    KeepLossy(setup, rule.kept, count - 1, rule.values[i].text, read[i]);
            }
        };
        plans_.push_back(std::move(plan));
    }

    std::vector<SectionPlan> Take() { return std::move(plans_); }

  private:
    std::vector<SectionPlan> plans_;
};

const std::vector<SectionPlan>& SectionPlans() {
    static const std::vector<SectionPlan> plans = [] {
        Plans plans;
        ForEachSection(plans);
        return plans.Take();
    }();
    return plans;
}

}  // namespace

void SetupReader::OnEvent(const xml::Event& event) {
    if (failed_) return;
    switch (event.kind) {
        case xml::EventKind::StartElement:
            StartElement(event.name);
            return;
        case xml::EventKind::EndElement:
            EndElement();
            return;
        case xml::EventKind::Text:
        case xml::EventKind::CData:
            Append(event.text);
            return;
        case xml::EventKind::ProcessingInstruction:
            NamedChild(event.name, false, nullptr);
            return;
        case xml::EventKind::EntityReference:
            NamedChild(event.name, false, event.expansion);
            return;
        case xml::EventKind::Comment:
            return;
    }
}

void SetupReader::StartElement(std::string_view name) {
    const int parent = depth_++;
    if (parent == 2 && section_ >= 0) {
        StartItem(name);
    } else if (parent == 1 || parent == 3) {
        NamedChild(name, true, nullptr);
    }
}

void SetupReader::EndElement() {
    if (collecting_ != nullptr && depth_ == collectingDepth_) collecting_ = nullptr;
    if (depth_ == 3 && inItem_) FinishItem();
    if (depth_ == 2) section_ = -1;
    --depth_;
}

// A child of the root or of an item, named `name`: the first of its name decides a section
// or a value, whether or not it is an element.
void SetupReader::NamedChild(std::string_view name, bool element,
                             const xml::EntityExpansion* expansion) {
    const std::vector<SectionPlan>& plans = SectionPlans();
    if (depth_ - (element ? 1 : 0) == 1) {
        for (std::size_t i = 0; i < plans.size(); ++i) {
            if (sectionsSeen_[i] || name != plans[i].name) continue;
            sectionsSeen_[i] = true;
            if (element) section_ = static_cast<int>(i);
            return;
        }
        return;
    }
    const int parent = depth_ - (element ? 1 : 0);
    if (parent == 3 && inItem_ && collecting_ == nullptr) {
        const SectionPlan& plan = plans[static_cast<std::size_t>(section_)];
        // Values usually come in the order a save writes them: the one after the previous
        // value is tried first.
        for (std::size_t n = 0; n < plan.values.size(); ++n) {
            const std::size_t i = (nextValue_ + n) % plan.values.size();
            if (valuesSeen_[i] || name != plan.values[i]) continue;
            valuesSeen_[i] = true;
            nextValue_ = i + 1;
            if (element) {
                collecting_ = &values_[i];
                collectingDepth_ = depth_;
            } else if (expansion != nullptr) {
                AppendExpansion(values_[i], *expansion);
            }
            return;
        }
        return;
    }
    if (collecting_ != nullptr && expansion != nullptr) AppendExpansion(*collecting_, *expansion);
}

void SetupReader::Append(std::string_view text) {
    if (collecting_ == nullptr || collecting_->full) return;
    if (!xml::AppendWithin(collecting_->utf8, text, collecting_->maxBytes))
        collecting_->full = true;
}

// The replacement is asked for a little more than fits, so that a cut shows: a character that
// does not fit ends within four bytes past the room left.
void SetupReader::AppendExpansion(ValueText& value, const xml::EntityExpansion& expansion) {
    if (value.full) return;
    const std::size_t room = value.maxBytes - value.utf8.size();
    if (!expansion.Text(room + 4, expansion_)) {
        failed_ = true;
        return;
    }
    if (!xml::AppendWithin(value.utf8, expansion_, value.maxBytes)) value.full = true;
}

void SetupReader::StartItem(std::string_view name) {
    const SectionPlan& plan = SectionPlans()[static_cast<std::size_t>(section_)];
    inItem_ = true;
    itemName_.assign(name);
    valuesSeen_.reset();
    nextValue_ = 0;
    for (std::size_t i = 0; i < plan.capacities.size(); ++i) {
        values_[i].utf8.clear();
        values_[i].maxBytes = Utf8Bound(plan.capacities[i]);
        values_[i].full = false;
    }
    // An item without named values is itself the value.
    if (plan.values.empty()) {
        collecting_ = &values_[0];
        collectingDepth_ = depth_;
    }
}

void SetupReader::FinishItem() {
    inItem_ = false;
    collecting_ = nullptr;
    SectionPlans()[static_cast<std::size_t>(section_)].add(setup_, itemName_, values_);
}

}  // namespace korvane::setupfile
