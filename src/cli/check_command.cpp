// korvane check: reports, with line numbers, everything that loading a setup file would
// silently change or drop.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/display_text.h"
#include "model/decimal.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "setupfile/grammar.h"
#include "setupfile/savable_name.h"
#include "setupfile/setup_file.h"
#include "xml/dom.h"
#include "xml/file_encoding.h"

namespace korvane::cli {
namespace {

using xml::Document;
using xml::Node;
using namespace korvane::setupfile;

struct ValueCheck {
    const char* name;
    ValueKind kind;
    std::size_t capacity;      // bytes kept, terminator included (texts only)
    bool storedAsText = true;  // false: kept as a number, so the file's text is not
};

struct SectionRule {
    const char* name;
    const char* item;                // the item name a save writes
    std::vector<ValueCheck> values;  // empty: the item itself is the value
    std::size_t itemCapacity = 0;    // when the item itself is the value
    const char* key = nullptr;       // the value that keys the items (reserved words)
};

// What the check needs of each section, taken from the grammar: the names, kinds and capacities.
class SectionRules {
  public:
    void operator()(const ReserveSection& rule) {
        rules_.push_back({rule.section,
                          rule.item,
                          {{rule.wordElement, ValueKind::Text, rule.wordCapacity},
                           {rule.meaningElement, ValueKind::Text, rule.meaningCapacity}},
                          0,
                          rule.wordElement});
    }
    void operator()(const ConfigSection& rule) {
        rules_.push_back({rule.section, nullptr, {}, rule.valueCapacity});
    }
    void operator()(const CommandSection& rule) {
        rules_.push_back({rule.section, kCommandItem, {}, kCommandCapacity});
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        SectionRule section{rule.section, rule.item, {}, 0};
        for (const auto& value : rule.values)
            section.values.push_back(
                {value.element, value.kind, value.capacity, value.StoredAsText()});
        rules_.push_back(section);
    }
    std::vector<SectionRule> Take() { return std::move(rules_); }

  private:
    std::vector<SectionRule> rules_;
};

// How a finding that loses nothing begins.
const std::string kWarning = "warning: ";

const std::vector<SectionRule>& Sections() {
    static const std::vector<SectionRule> sections = [] {
        SectionRules rules;
        ForEachSection(rules);
        return rules.Take();
    }();
    return sections;
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

std::string Describe(const Document& document, Node node) {
    const std::string name = document.NodeName(node);
    if (name == "#comment") return "a comment";
    if (name == "#text" || name == "#cdata-section") return "text";
    return "'" + name + "' (a processing instruction or entity reference)";
}

class Checker {
  public:
    Checker(const std::string& file, Document& document, std::ostream& out)
        : file_(file), document_(document), out_(out) {}

    void Run() {
        const Node root = document_.DocumentElement();
        if (!document_.HasName(root, kRoot)) {
            Report(root, "the root element '" + document_.NodeName(root) + "' is read as SETUP");
        }
        std::set<std::string> seen;
        for (Node child = document_.FirstChild(root); child; child = document_.NextSibling(child)) {
            if (!document_.IsElement(child)) {
                Report(child, Describe(document_, child) + " in the root element is ignored");
                continue;
            }
            const std::string name = document_.NodeName(child);
            const SectionRule* rule = FindSection(name);
            if (rule == nullptr) {
                Report(child, "the element '" + name + "' is ignored");
            } else if (!seen.insert(name).second) {
                Report(child, "a second " + name + " section is ignored");
            } else {
                CheckSection(child, *rule);
            }
        }
    }

    // Prints the findings in line order; returns how many there were, warnings aside.
    std::size_t Print() {
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::size_t faults = 0;
        for (const auto& [line, message] : findings_) {
            out_ << file_ << ":" << line << ": " << message << "\n";
            if (message.rfind(kWarning, 0) != 0) ++faults;
        }
        return faults;
    }

  private:
    static const SectionRule* FindSection(const std::string& name) {
        for (const SectionRule& rule : Sections()) {
            if (name == rule.name) return &rule;
        }
        return nullptr;
    }

    void Report(Node node, const std::string& message) {
        findings_.emplace_back(document_.LineOf(node), message);
    }

    // A finding that loses nothing: it is printed, but the file still passes.
    void Warn(Node node, const std::string& message) { Report(node, kWarning + message); }

    // Warns when UTF-8 `text` holds characters that the code page lacks: a load reads them as
    // '?' and keeps the file's text, which a save writes back.
    void WarnOfLostCharacters(Node node, const std::string& what, std::string_view text) {
        std::string local;
        if (platform::FromUtf8Exactly(text, local)) return;
        Warn(node, what + " holds characters that the code page lacks: '" + LocalFormOfUtf8(text) +
                       "' reads as '" + DisplayForm(local) +
                       "'; a save writes them as the file has them");
    }

    // The text of `node` in the system code page, whole (up to far beyond any capacity).
    // A text stored as a text keeps the file's text where the code page lacks characters.
    std::string LocalText(Node node, const std::string& what, std::size_t capacity,
                          bool storedAsText) {
        std::string utf8;
        document_.Text(node, 4 * capacity + 8, utf8);
        if (storedAsText) WarnOfLostCharacters(node, what, utf8);
        return platform::FromUtf8(utf8);
    }

    // Reports markup inside a value and a text longer than `capacity` allows; returns the text
    // as a load keeps it.
    std::string CheckText(Node value, const std::string& what, std::size_t capacity,
                          bool storedAsText = true) {
        for (Node child = document_.FirstChild(value); child;
             child = document_.NextSibling(child)) {
            if (document_.IsElement(child) || document_.NodeName(child) == "#comment") {
                Report(child, "markup inside " + what + " is dropped; only its text is kept");
                break;
            }
        }
        std::string text = LocalText(value, what, capacity, storedAsText);
        if (text.size() > capacity - 1) {
            Report(value, what + " holds " + std::to_string(text.size()) + " bytes; a load keeps " +
                              std::to_string(capacity - 1));
            text.resize(platform::WholeCharPrefix(text, capacity - 1));
        }
        const std::vector<std::string> hidden = DisguisingCharacters(text);
        if (!hidden.empty()) {
            std::string list;
            for (const std::string& escape : hidden) list += (list.empty() ? "" : " ") + escape;
            Report(value, what + " holds characters that can disguise it on a screen: " + list);
        }
        return text;
    }

    void CheckSection(Node section, const SectionRule& rule) {
        std::set<std::string> keys;  // reserved words or configuration names
        for (Node item = document_.FirstChild(section); item; item = document_.NextSibling(item)) {
            if (!document_.IsElement(item)) {
                Report(item, Describe(document_, item) + " in " + rule.name + " is skipped");
                continue;
            }
            const std::string itemName = document_.NodeName(item);
            if (rule.item != nullptr && itemName != rule.item) {
                Report(item,
                       "the item '" + itemName + "' in " + rule.name + " is read as " + rule.item);
            }
            if (rule.values.empty()) {
                CheckText(item, itemName, rule.itemCapacity);
                if (rule.item == nullptr) CheckConfigField(item, itemName, keys);
                continue;
            }
            const std::string word = CheckItem(item, itemName, rule);
            if (rule.key != nullptr && !keys.insert(word).second) {
                Report(item, "a later duplicate of the reserved word '" + DisplayForm(word) +
                                 "' is dropped");
            }
        }
    }

    void CheckConfigField(Node item, const std::string& name, std::set<std::string>& names) {
        std::string local;
        const bool whole = platform::FromUtf8Exactly(name, local);
        if (!names.insert(local).second) {
            Report(item, "a later duplicate of the configuration field '" + name + "' is dropped" +
                             (whole ? "" : ": it reads as '" + DisplayForm(local) + "'"));
        }
        if (!whole) WarnOfLostCharacters(item, "the configuration name", name);
        // A load keeps the name as the file has it; only a save would fail on it. A name that
        // the code page cannot hold is saved as the file has it.
        if (whole ? !IsSavableFieldName(local) : !IsSavableUtf8FieldName(name))
            Report(item, "the configuration name '" + name + "' cannot be saved");
    }

    // Checks the values of one item; returns its key text as a load keeps it (reserved words).
    std::string CheckItem(Node item, const std::string& itemName, const SectionRule& rule) {
        std::string shortText;
        std::set<std::string> seen;
        for (Node child = document_.FirstChild(item); child; child = document_.NextSibling(child)) {
            if (!document_.IsElement(child)) {
                Report(child, Describe(document_, child) + " in " + itemName + " is ignored");
                continue;
            }
            const std::string name = document_.NodeName(child);
            const auto value = std::find_if(rule.values.begin(), rule.values.end(),
                                            [&](const ValueCheck& v) { return name == v.name; });
            if (value == rule.values.end()) {
                Report(child, "the element '" + name + "' in " + itemName + " is ignored");
                continue;
            }
            if (!seen.insert(name).second) {
                Report(child, "a second " + name + " in " + itemName + " is ignored");
                continue;
            }
            const std::string text = CheckText(child, name, value->capacity, value->storedAsText);
            if (rule.key != nullptr && name == rule.key) shortText = text;
            if (value->kind == ValueKind::Flag && text != "0" && text != "1") {
                Report(child, "the flag " + name + " is '" + DisplayForm(text) +
                                  "'; only \"1\" sets it, so it reads as 0");
            }
            if (value->kind == ValueKind::Number && !IsCleanDecimal(text)) {
                Report(child, "the number " + name + " is '" + DisplayForm(text) +
                                  "'; it reads as " + std::to_string(model::ParseDecimal(text)));
            }
        }
        return shortText;
    }

    std::string file_;
    Document& document_;
    std::ostream& out_;
    std::vector<std::pair<long, std::string>> findings_;
};

}  // namespace

int Check(const std::string& file) {
    return CheckTo(file, std::cout);
}

int CheckTo(const std::string& file, std::ostream& findings) {
    std::string bytes;
    if (const int readError = platform::ReadRegularFile(file, platform::kMaxReadBytes, bytes)) {
        std::cerr << "korvane: " << file << ": cannot read: " << platform::ErrorText(readError)
                  << "\n";
        return kFailure;
    }
    auto document = Document::Create();
    xml::ParseError error;
    if (document == nullptr || !document->ParseBytes(bytes, error)) {
        findings << file << ":" << error.line << ":" << error.column
                 << ": not well-formed XML: " << error.text << "\n";
        return kFailure;
    }
    // The byte-order mark (or UTF-16 in the first bytes) decided the encoding; a declaration
    // naming another is an error in XML's eyes, but such files always loaded, so it is a
    // warning that does not fail the check.
    xml::FileEncoding encoding;
    std::string undecodable;
    if (xml::ChooseFileEncoding(bytes, encoding, undecodable) && encoding.contradicted) {
        findings << file << ":1: warning: "
                 << (encoding.markLength > 0 ? "the byte-order mark says "
                                             : "the first bytes show ")
                 << encoding.known->converter
                 << ", which the file is read as; its declaration says " << encoding.declared
                 << "\n";
    }
    // First read the document exactly as a load does, which can still refuse the file as a
    // whole (a value that expands beyond what can be read); then follow its structure.
    model::SetupDocument setup;
    const bool readable = setupfile::LoadSetupBytes(bytes, setup).kind !=
                          setupfile::LoadResult::Kind::ExpandsBeyond;
    Checker checker(file, *document, findings);
    checker.Run();
    const bool clean = checker.Print() == 0;
    if (!readable) {
        findings << file << ": expands beyond what can be read (entity expansion)\n";
        return kFailure;
    }
    return clean ? kSuccess : kFailure;
}

}  // namespace korvane::cli
