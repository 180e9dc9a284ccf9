#include "setupfile/setup_elements.h"

#include <string>

#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"
#include "setupfile/record_texts.h"
#include "setupfile/savable_name.h"
#include "xml/load_bounds.h"
#include "xml/markup_scanner.h"
#include "xml/xml_encoding.h"
#include "xml/xml_rules.h"

namespace korvane::setupfile {
namespace {

class Walker {
  public:
    Walker(const model::SetupDocument& setup, ElementSink& sink) : setup_(setup), sink_(sink) {}

    template <typename Section>
    bool Walk(const Section& rule) {
        section_ = rule.section;
        count_ = 0;
        return sink_.StartElement(rule.section) && Fill(rule) && sink_.EndElement();
    }

    const std::string& failure() const { return failure_; }

  private:
    // A value element with `text` (in the system code page), or with the file's own text `kept`
    // (UTF-8) where a load kept one. A text longer in the file than a load reads is refused,
    // and named in `failure_`; so are the names and texts a document cannot hold.
    bool Value(std::string_view name, std::string_view text, const std::string* kept) {
        const std::string converted =
            kept != nullptr ? std::string() : platform::ToUtf8Replacing(text);
        const std::string& utf8 = kept != nullptr ? *kept : converted;
        // No character takes more than five times its UTF-8 length in the file ("&amp;").
        constexpr std::size_t kBound = xml::MarkupScanner::kMaxRunBytes;
        if (utf8.size() > kBound / 5) {
            const std::size_t length = xml::TextLengthInFile(utf8, kFileEncoding);
            if (length > kBound) {
                failure_ = "the value " + Location(name) + " takes " + std::to_string(length) +
                           " bytes in the file, more than the " + std::to_string(kBound) +
                           " a load reads";
                return false;
            }
        }
        return xml::IsCreatableElementName(name, kFileEncoding) && xml::IsXmlText(utf8) &&
               sink_.ValueElement(name, utf8);
    }

    // An item, its values added by `fill`.
    template <typename FillItem>
    bool Item(const char* name, FillItem&& fill) {
        ++count_;
        item_ = name;
        const bool written = sink_.StartElement(name) && fill() && sink_.EndElement();
        item_.clear();
        return written;
    }

    // Where the value `name` is: its section, its item and the item's number, from 0 as the
    // exports number entries.
    std::string Location(std::string_view name) const {
        const std::string number = " " + std::to_string(count_ - 1);
        if (item_.empty()) return section_ + "/" + std::string(name) + (counted_ ? number : "");
        return section_ + "/" + item_ + number + "/" + std::string(name);
    }

    bool Fill(const ReserveSection& rule) {
        constexpr model::KeptTable kWords = model::KeptTable::ReservedWords;
        for (const auto& wordAndEntry : setup_.ReservedWords()) {
            const std::string& word = wordAndEntry.first;
            const model::ReservedWordEntry& entry = wordAndEntry.second;
            // The expansion belongs to this machine and is never written.
            const bool written = Item(rule.item, [&] {
                return Value(rule.wordElement, word, Kept(kWords, word, model::kKeyText)) &&
                       Value(rule.meaningElement, entry.Meaning(),
                             Kept(kWords, word, model::kValueText));
            });
            if (!written) return false;
        }
        return true;
    }

    bool Fill(const ConfigSection&) {
        constexpr model::KeptTable kFields = model::KeptTable::ElementFields;
        for (const auto& [name, text] : setup_.ElementFields()) {
            // A name that read as '?' is written as the file had it.
            std::string utf8Name;
            if (const std::string* keptName = Kept(kFields, name, model::kKeyText)) {
                if (!IsSavableUtf8FieldName(*keptName)) return false;
                utf8Name = *keptName;
            } else if (!IsSavableFieldName(name) || !platform::ToUtf8(name, utf8Name)) {
                return false;
            }
            if (!Value(utf8Name, text, Kept(kFields, name, model::kValueText))) return false;
        }
        return true;
    }

    bool Fill(const CommandSection& rule) {
        const model::CommandList& commands = setup_.Commands(rule.list);
        const model::KeptTable table = model::KeptTableOf(rule.list);
        counted_ = true;
        for (std::size_t position = 0; position < commands.size(); ++position) {
            ++count_;
            if (!Value(kCommandItem, commands[position], setup_.Kept().Find(table, position, 0)))
                return false;
        }
        counted_ = false;
        return true;
    }

    template <typename Record, std::size_t N>
    bool Fill(const RecordSection<Record, N>& rule) {
        const model::RecordList<Record>& records = (setup_.*rule.records)();
        for (std::size_t position = 0; position < records.size(); ++position) {
            const Record& record = records[position];
            const bool written = Item(rule.item, [&] {
                for (const ValueRule<Record>& value : rule.values) {
                    const std::string* kept =
                        value.StoredAsText() ? setup_.Kept().Find(rule.kept, position, value.text)
                                             : nullptr;
                    if (!Value(value.element, ValueText(record, value), kept)) return false;
                }
                return true;
            });
            if (!written) return false;
        }
        return true;
    }

    const std::string* Kept(model::KeptTable table, std::string_view key, std::size_t field) const {
        return setup_.Kept().Find(table, key, field);
    }

    const model::SetupDocument& setup_;
    ElementSink& sink_;
    std::string section_;    // the section being walked
    std::string item_;       // the item being walked, if any
    std::size_t count_ = 0;  // items (or commands) of the section so far
    bool counted_ = false;   // the section's values are its items (commands)
    std::string failure_;
};

}  // namespace

bool WalkSetupElements(const model::SetupDocument& setup, ElementSink& sink, std::string& failure) {
    Walker walker(setup, sink);
    bool walked = sink.StartElement(kRoot);
    ForEachSection([&](const auto& section) { walked = walked && walker.Walk(section); });
    walked = walked && sink.EndElement();
    failure = walker.failure();
    return walked;
}

}  // namespace korvane::setupfile
