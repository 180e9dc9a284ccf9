#include "setupfile/setup_check.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
#include <utility>

#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/display_text.h"
#include "setupfile/grammar.h"
#include "setupfile/savable_name.h"
#include "setupfile/setup_walk.h"
#include "xml/file_encoding.h"
#include "xml/xml_events.h"

namespace korvane::setupfile {
namespace {

// What the check needs of each section beyond the walk's names and capacities.
struct SectionChecks {
    const char* item = nullptr;  // the item name a save writes; none for CONFIG
    bool config = false;
    bool keyedByFirstValue = false;  // reserved words: the first value keys the items
    // The items are entries in the order of the file, numbered from 0 as the exports number
    // them; reserved words and configuration fields are named by their key instead.
    bool numbered = false;
    std::vector<ValueKind> kinds;    // one per value
    std::vector<bool> storedAsText;  // false: kept as a number, so the file's text is not
};

struct SectionChecksOf {
    SectionChecks operator()(const ReserveSection& rule) const {
        return {rule.item, false, true, false, {ValueKind::Text, ValueKind::Text}, {true, true}};
    }
    SectionChecks operator()(const ConfigSection&) const {
        return {nullptr, true, false, false, {}, {}};
    }
    SectionChecks operator()(const CommandSection&) const {
        return {kCommandItem, false, false, true, {}, {}};
    }
    template <typename Record, std::size_t N>
    SectionChecks operator()(const RecordSection<Record, N>& rule) const {
        SectionChecks checks{rule.item, false, false, true, {}, {}};
        for (const ValueRule<Record>& value : rule.values) {
            checks.kinds.push_back(value.kind);
            checks.storedAsText.push_back(value.StoredAsText());
        }
        return checks;
    }
};

const std::vector<SectionChecks>& Checks() {
    static const std::vector<SectionChecks> checks = MapSections<SectionChecks>(SectionChecksOf());
    return checks;
}

// A clean decimal: what the writer itself would write for the number it reads as.
bool IsCleanDecimal(const std::string& text) {
    if (text.empty() || text.size() > 11) return false;
    std::size_t digits = text[0] == '-' ? 1 : 0;
    if (digits == text.size()) return false;
    if (text[digits] == '0' && text.size() > digits + 1) return false;  // leading zero
    if (text == "-0") return false;
    for (std::size_t i = digits; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
}

// The number of single-letter edits (insertions, deletions, substitutions and swaps of two
// neighbours, ASCII case aside) that turn `a` into `b`.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    const auto same = [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    };
    const std::size_t columns = b.size() + 1;
    std::vector<std::size_t> d((a.size() + 1) * columns);
    const auto at = [&](std::size_t i, std::size_t j) -> std::size_t& {
        return d[i * columns + j];
    };
    for (std::size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
    for (std::size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1,
                                 at(i - 1, j - 1) + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(a.size(), b.size());
}

// The name among `names` nearest to `name`, if near enough to be a slip of the keyboard (at
// most two edits, and fewer than a third of the name's letters); `names.end()` if none is.
std::vector<std::string_view>::iterator NearestName(std::string_view name,
                                                    std::vector<std::string_view>& names) {
    auto nearest = names.end();
    const std::size_t allowed = std::min<std::size_t>(2, (name.size() + 2) / 3 - 1);
    std::size_t best = allowed + 1;
    for (auto candidate = names.begin(); candidate != names.end(); ++candidate) {
        // So many letters apart, no edits could be few enough (and a long name costs nothing).
        if (name.size() > candidate->size() + allowed) continue;
        const std::size_t distance = EditDistance(name, *candidate);
        if (distance < best) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}

std::string Describe(const xml::Event& event) {
    switch (event.kind) {
        case xml::EventKind::Comment:
            return "a comment";
        case xml::EventKind::ProcessingInstruction:
            return "'" + DisplayFormOfUtf8(event.name) + "' (a processing instruction)";
        case xml::EventKind::EntityReference:
            return "'" + DisplayFormOfUtf8(event.name) + "' (an entity reference)";
        default:
            return "text";
    }
}

class Checker final : public SetupWalkHandler {
  public:
    std::vector<CheckFinding> findings;

    void Root(const xml::Event& start) override {
        if (start.name != kRoot)
            Report(start.line,
                   "the root element '" + DisplayFormOfUtf8(start.name) + "' is read as " + kRoot);
    }

    void RootChildSeen(const xml::Event& event, RootChild role, std::size_t) override {
        const std::string name = DisplayFormOfUtf8(event.name);
        switch (role) {
            case RootChild::Section:
                keys_.clear();
                itemsInSection_ = 0;
                return;
            case RootChild::HidesSection:
                Report(event.line,
                       Describe(event) + " hides the " + name + " section, which is not read");
                return;
            case RootChild::SecondSection:
                if (event.kind == xml::EventKind::StartElement) {
                    Report(event.line, "a second " + name + " section is ignored");
                    return;
                }
                break;
            case RootChild::Element:
                Report(event.line, "the element '" + name + "' is ignored");
                return;
            case RootChild::Other:
                break;
        }
        Report(event.line, Describe(event) + " in the root element is ignored");
    }

    void SkippedInSection(const xml::Event& event, std::size_t section) override {
        Report(event.line,
               Describe(event) + " in " + std::string(SectionName(section)) + " is skipped");
    }

    void ItemStart(const xml::Event& event, std::size_t section) override {
        const SectionChecks& checks = Checks()[section];
        itemName_.assign(event.name);
        itemLabel_ = DisplayFormOfUtf8(itemName_);
        if (checks.numbered) {
            itemLabel_ = std::string(checks.item) + " " + std::to_string(itemsInSection_);
            // The same item name serves all four command lists.
            if (ValueNames(section).empty())
                itemLabel_ += " of " + std::string(SectionName(section));
        }
        ++itemsInSection_;
        markupReported_ = false;
        readAsText_.reset();
        ignored_.clear();
        if (checks.item != nullptr && event.name != checks.item) {
            Report(event.line, "the item '" + DisplayFormOfUtf8(itemName_) + "' in " +
                                   std::string(SectionName(section)) + " is read as " +
                                   (checks.numbered ? itemLabel_ : std::string(checks.item)));
        }
    }

    void ItemChildSeen(const xml::Event& event, ItemChild role, std::size_t value) override {
        const std::string name(event.name);
        const bool element = event.kind == xml::EventKind::StartElement;
        switch (role) {
            case ItemChild::Value:
                readAsText_[value] = true;
                valueName_ = name;
                markupReported_ = false;
                return;
            case ItemChild::HidesValue:
                if (event.kind == xml::EventKind::EntityReference) {
                    readAsText_[value] = true;
                    return;
                }
                Report(event.line, Describe(event) + " in " + itemLabel_ + " hides the value " +
                                       name + ", which reads as empty");
                return;
            case ItemChild::SecondValue:
                if (element) {
                    Report(event.line, "a second " + name + " in " + itemLabel_ + " is ignored");
                    return;
                }
                break;
            case ItemChild::Element:
                Report(event.line, "the element '" + DisplayFormOfUtf8(name) + "' in " + itemLabel_ +
                                       " is ignored");
                ignored_.push_back({name, event.line});
                return;
            case ItemChild::Other:
                break;
        }
        Report(event.line, Describe(event) + " in " + itemLabel_ + " is ignored");
    }

    void MarkupInValue(const xml::Event& event) override {
        if (markupReported_) return;
        markupReported_ = true;
        const std::string what = valueName_.empty() ? itemLabel_ : ValueLabel(valueName_);
        Report(event.line, "markup inside " + what + " is dropped; only its text is kept");
    }

    void ItemEnd(WalkedItem& item) override {
        const SectionChecks& checks = Checks()[item.section];
        const std::vector<std::size_t>& capacities = ValueCapacities(item.section);
        const std::vector<std::string_view>& names = ValueNames(item.section);
        valueName_.clear();
        if (names.empty()) {
            CheckText(item.values[0], itemLabel_, capacities[0], true);
            if (checks.config) CheckConfigField(item.line, itemName_);
            return;
        }
        if (!ignored_.empty()) ReportMissingValues(item, names);
        std::string key;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!readAsText_[i]) continue;
            const std::string name = ValueLabel(names[i]);
            const WalkedValue& value = item.values[i];
            const std::string text = CheckText(value, name, capacities[i], checks.storedAsText[i]);
            if (i == 0) key = text;
            if (checks.kinds[i] == ValueKind::Flag && text != "0" && text != "1") {
                Report(value.line, "the flag " + name + " is '" + DisplayForm(text) +
                                       "'; only \"1\" sets it, so it reads as 0");
            }
            if (checks.kinds[i] == ValueKind::Number && !IsCleanDecimal(text)) {
                Report(value.line, "the number " + name + " is '" + DisplayForm(text) +
                                       "'; it reads as " +
                                       std::to_string(model::ParseDecimal(text)));
            }
        }
        if (checks.keyedByFirstValue && !keys_.insert(key).second) {
            Report(item.line,
                   "a later duplicate of the reserved word '" + DisplayForm(key) + "' is dropped");
        }
    }

  private:
    void Report(long line, std::string message, bool warning = false) {
        findings.push_back(CheckFinding{line, std::move(message), warning});
    }

    // Warns when UTF-8 `text` holds characters that the code page lacks: a load reads them as
    // '?' and keeps the file's text, which a save writes back.
    void WarnOfLostCharacters(long line, const std::string& what, std::string_view text) {
        std::string local;
        if (platform::FromUtf8Exactly(text, local)) return;
        Report(line,
               what + " holds characters that the code page lacks: '" +
                   DisplayFormOfUtf8(text) + "' reads as '" + DisplayForm(local) +
                   "'; a save writes them as the file has them",
               true);
    }

    // Reports a text longer than `capacity` allows and characters that can disguise it;
    // returns the text as a load keeps it, in the code page.
    std::string CheckText(const WalkedValue& value, const std::string& what, std::size_t capacity,
                          bool storedAsText) {
        if (storedAsText) WarnOfLostCharacters(value.line, what, value.utf8);
        std::string text = platform::FromUtf8(value.utf8);
        if (text.size() > capacity - 1) {
            Report(value.line, what + " holds " + std::to_string(text.size()) +
                                   " bytes; a load keeps " + std::to_string(capacity - 1));
            text.resize(platform::WholeCharPrefix(text, capacity - 1));
        }
        const std::vector<std::string> hidden = DisguisingCharacters(text);
        if (!hidden.empty()) {
            std::string list;
            for (const std::string& escape : hidden) list += (list.empty() ? "" : " ") + escape;
            Report(value.line,
                   what + " holds characters that can disguise it on a screen: " + list);
        }
        return text;
    }

    void CheckConfigField(long line, const std::string& name) {
        std::string local;
        const bool whole = platform::FromUtf8Exactly(name, local);
        if (!keys_.insert(local).second) {
            Report(line, "a later duplicate of the configuration field '" + DisplayFormOfUtf8(name) +
                             "' is dropped" +
                             (whole ? "" : ": it reads as '" + DisplayForm(local) + "'"));
        }
        if (!whole) WarnOfLostCharacters(line, "the configuration name", name);
        // A load keeps the name as the file has it; only a save would fail on it. A name that
        // the code page cannot hold is saved as the file has it.
        if (whole ? !IsSavableFieldName(local) : !IsSavableUtf8FieldName(name))
            Report(line, "the configuration name '" + DisplayFormOfUtf8(name) + "' cannot be saved");
    }

    // An element that the item does not know is most likely a misspelt value: says which value
    // the item then lacks, and so reads as empty. Each such element is paired with the missing
    // value whose name is nearest its own, if near enough to be a slip; where none is, every
    // missing value is named, beside the first such element.
    void ReportMissingValues(const WalkedItem& item, const std::vector<std::string_view>& names) {
        std::vector<std::string_view> missing;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!item.values[i].found) missing.push_back(names[i]);
        }
        if (missing.empty()) return;
        bool paired = false;
        for (const auto& [name, line] : ignored_) {
            const auto nearest = NearestName(name, missing);
            if (nearest == missing.end()) continue;
            Report(line, std::string(*nearest) + " of " + itemLabel_ + " is empty");
            missing.erase(nearest);
            paired = true;
            if (missing.empty()) return;
        }
        if (paired) return;
        std::string list(missing[0]);
        for (std::size_t i = 1; i < missing.size(); ++i)
            list += (i + 1 == missing.size() ? " and " : ", ") + std::string(missing[i]);
        Report(ignored_[0].second,
               list + " of " + itemLabel_ + (missing.size() == 1 ? " is" : " are") + " empty");
    }

    // A value of the item as people read it: "FILENAME of FILE 3".
    std::string ValueLabel(std::string_view name) const {
        return std::string(name) + " of " + itemLabel_;
    }

    std::set<std::string> keys_;  // reserved words or configuration names of the section
    std::size_t itemsInSection_ = 0;
    std::string itemName_;   // as the file names the item
    std::string itemLabel_;  // as messages name it: "FILE 3", or the file's name where unnumbered
    // The item's elements that name no value, with their lines.
    std::vector<std::pair<std::string, long>> ignored_;
    std::string valueName_;  // the value being read, empty where the item is the value
    bool markupReported_ = false;
    std::bitset<kMaxItemValues> readAsText_;
};

// A byte-order mark (or UTF-16 in the first bytes) decided the encoding; a declaration naming
// another is an error in XML's eyes, but such files always loaded, so it is only a warning.
void WarnOfContradictedDeclaration(std::string_view bytes, std::vector<CheckFinding>& findings) {
    xml::FileEncoding encoding;
    std::string undecodable;
    if (!xml::ChooseFileEncoding(bytes, encoding, undecodable) || !encoding.contradicted) return;
    findings.push_back(
        CheckFinding{1,
                     std::string(encoding.markLength > 0 ? "the byte-order mark says "
                                                         : "the first bytes show ") +
                         encoding.known->converter +
                         ", which the file is read as; its declaration says " + encoding.declared,
                     true});
}

}  // namespace

bool CheckResult::Clean() const {
    if (!parsed || expandsBeyond) return false;
    return std::all_of(findings.begin(), findings.end(),
                       [](const CheckFinding& finding) { return finding.warning; });
}

CheckResult CheckSetupBytes(std::string_view bytes) {
    CheckResult result;
    Checker checker;
    // A little more of each text than a load keeps, to tell how long a cut text was.
    SetupWalk walk(checker, 12);
    result.parsed = xml::ReadXmlEvents(bytes, walk, result.error);
    if (!result.parsed) return result;
    result.expandsBeyond = walk.failed();
    WarnOfContradictedDeclaration(bytes, result.findings);
    result.findings.insert(result.findings.end(), checker.findings.begin(), checker.findings.end());
    std::stable_sort(result.findings.begin(), result.findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    return result;
}

}  // namespace korvane::setupfile
