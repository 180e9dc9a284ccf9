#include "setupfile/setup_writer.h"

#include <string>

#include "platform/code_page.h"
#include "setupfile/grammar.h"
#include "setupfile/record_texts.h"
#include "setupfile/savable_name.h"
#include "xml/markup_scanner.h"
#include "xml/xml_encoding.h"

namespace korvane::setupfile {
namespace {

using xml::Node;

class Writer {
  public:
    Writer(const model::SetupDocument& setup, xml::Document& document)
        : setup_(setup), document_(document) {}

    // Builds the section `rule` declares and links it to `root` once it is complete.
    template <typename Section>
    bool Write(Node root, const Section& rule) {
        section_ = rule.section;
        count_ = 0;
        Node section = document_.CreateElement(rule.section);
        return section && Fill(section, rule) && document_.AppendChild(root, section);
    }

    const std::string& failure() const { return failure_; }

  private:
    // An element holding one text node with `text` (in the system code page), or with the
    // file's own text `kept` (UTF-8) where a load kept one; never without the text node, even
    // for the empty text. A text longer in the file than a load reads is refused, and named in
    // `failure_`.
    Node ValueElement(std::string_view name, std::string_view text, const std::string* kept) {
        const std::string utf8 = kept != nullptr ? *kept : platform::ToUtf8Replacing(text);
        // No character takes more than five times its UTF-8 length in the file ("&amp;").
        constexpr std::size_t kBound = xml::MarkupScanner::kMaxRunBytes;
        if (utf8.size() > kBound / 5) {
            const std::size_t length = xml::TextLengthInFile(utf8, kFileEncoding);
            if (length > kBound) {
                failure_ = "the value " + Location(name) + " takes " + std::to_string(length) +
                           " bytes in the file, more than the " + std::to_string(kBound) +
                           " a load reads";
                return Node();
            }
        }
        Node element = document_.CreateElement(name);
        Node textNode = document_.CreateTextNode(utf8);
        if (!element || !textNode || !document_.AppendChild(element, textNode)) return Node();
        return element;
    }

    bool AppendValue(Node parent, std::string_view name, std::string_view text,
                     const std::string* kept = nullptr) {
        Node element = ValueElement(name, text, kept);
        return element && document_.AppendChild(parent, element);
    }

    // Creates an item, lets `fill` add its values, then links the finished item to `section`.
    template <typename FillItem>
    bool Item(Node section, const char* name, FillItem&& fill) {
        ++count_;
        item_ = name;
        Node item = document_.CreateElement(name);
        const bool written = item && fill(item) && document_.AppendChild(section, item);
        item_.clear();
        return written;
    }

    // Where the value `name` is: its section, its item and the item's number (from 1).
    std::string Location(std::string_view name) const {
        const std::string number = " " + std::to_string(count_);
        if (item_.empty()) return section_ + "/" + std::string(name) + (counted_ ? number : "");
        return section_ + "/" + item_ + number + "/" + std::string(name);
    }

    bool Fill(Node section, const ReserveSection& rule) {
        constexpr model::KeptTable kWords = model::KeptTable::ReservedWords;
        for (const auto& wordAndEntry : setup_.ReservedWords()) {
            const std::string& word = wordAndEntry.first;
            const model::ReservedWordEntry& entry = wordAndEntry.second;
            // The expansion belongs to this machine and is never written.
            const bool written = Item(section, rule.item, [&](Node item) {
                return AppendValue(item, rule.wordElement, word,
                                   Kept(kWords, word, model::kKeyText)) &&
                       AppendValue(item, rule.meaningElement, entry.Meaning(),
                                   Kept(kWords, word, model::kValueText));
            });
            if (!written) return false;
        }
        return true;
    }

    bool Fill(Node section, const ConfigSection&) {
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
            if (!AppendValue(section, utf8Name, text, Kept(kFields, name, model::kValueText)))
                return false;
        }
        return true;
    }

    bool Fill(Node section, const CommandSection& rule) {
        const model::CommandList& commands = setup_.Commands(rule.list);
        const model::KeptTable table = model::KeptTableOf(rule.list);
        counted_ = true;
        for (std::size_t position = 0; position < commands.size(); ++position) {
            ++count_;
            if (!AppendValue(section, kCommandItem, commands[position],
                             setup_.Kept().Find(table, position, 0)))
                return false;
        }
        counted_ = false;
        return true;
    }

    template <typename Record, std::size_t N>
    bool Fill(Node section, const RecordSection<Record, N>& rule) {
        const model::RecordList<Record>& records = (setup_.*rule.records)();
        for (std::size_t position = 0; position < records.size(); ++position) {
            const Record& record = records[position];
            const bool written = Item(section, rule.item, [&](Node item) {
                for (const ValueRule<Record>& value : rule.values) {
                    const std::string* kept =
                        value.StoredAsText() ? setup_.Kept().Find(rule.kept, position, value.text)
                                             : nullptr;
                    if (!AppendValue(item, value.element, ValueText(record, value), kept))
                        return false;
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
    xml::Document& document_;
    std::string section_;    // the section being written
    std::string item_;       // the item being written, if any
    std::size_t count_ = 0;  // items (or commands) of the section so far
    bool counted_ = false;   // the section's values are its items (commands)
    std::string failure_;
};

}  // namespace

bool WriteSetup(const model::SetupDocument& setup, xml::Document& document, std::string& failure) {
    if (!document.AppendProcessingInstruction("xml", kDeclarationData)) return false;
    Node root = document.CreateElement(kRoot);
    if (!root) return false;
    Writer writer(setup, document);
    bool written = true;
    ForEachSection([&](const auto& section) { written = written && writer.Write(root, section); });
    failure = writer.failure();
    return written && document.AppendChild(Node(), root);
}

}  // namespace korvane::setupfile
