#include "setupfile/setup_writer.h"

#include <string>

#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"
#include "setupfile/savable_name.h"

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
        Node section = document_.CreateElement(rule.section);
        return section && Fill(section, rule) && document_.AppendChild(root, section);
    }

  private:
    // An element holding one text node with `text` (in the system code page); never without
    // the text node, even for the empty text.
    Node ValueElement(std::string_view name, std::string_view text) {
        Node element = document_.CreateElement(name);
        Node textNode = document_.CreateTextNode(platform::ToUtf8Replacing(text));
        if (!element || !textNode || !document_.AppendChild(element, textNode)) return Node();
        return element;
    }

    bool AppendValue(Node parent, std::string_view name, std::string_view text) {
        Node element = ValueElement(name, text);
        return element && document_.AppendChild(parent, element);
    }

    // Creates an item, lets `fill` add its values, then links the finished item to `section`.
    template <typename FillItem>
    bool Item(Node section, const char* name, FillItem&& fill) {
        Node item = document_.CreateElement(name);
        return item && fill(item) && document_.AppendChild(section, item);
    }

    bool Fill(Node section, const ReserveSection& rule) {
        for (const auto& wordAndEntry : setup_.ReservedWords()) {
            // The expansion belongs to this machine and is never written.
            const bool written = Item(section, rule.item, [&](Node item) {
                return AppendValue(item, rule.wordElement, wordAndEntry.first) &&
                       AppendValue(item, rule.meaningElement, wordAndEntry.second.Meaning());
            });
            if (!written) return false;
        }
        return true;
    }

    bool Fill(Node section, const ConfigSection&) {
        for (const auto& [name, text] : setup_.ElementFields()) {
            std::string utf8Name;
            if (!IsSavableFieldName(name) || !platform::ToUtf8(name, utf8Name)) return false;
            if (!AppendValue(section, utf8Name, text)) return false;
        }
        return true;
    }

    bool Fill(Node section, const CommandSection& rule) {
        for (const std::string& command : setup_.Commands(rule.list)) {
            if (!AppendValue(section, kCommandItem, command)) return false;
        }
        return true;
    }

    template <typename Record, std::size_t N>
    bool Fill(Node section, const RecordSection<Record, N>& rule) {
        for (const Record& record : (setup_.*rule.records)()) {
            const bool written = Item(section, rule.item, [&](Node item) {
                for (const ValueRule<Record>& value : rule.values) {
                    if (!AppendValue(item, value.element, TextOf(record, value))) return false;
                }
                return true;
            });
            if (!written) return false;
        }
        return true;
    }

    template <typename Record>
    static std::string TextOf(const Record& record, const ValueRule<Record>& value) {
        if (value.StoredAsText()) return std::string(record.texts[value.text]);
        const std::int32_t number = record.*value.number;
        if (value.kind == ValueKind::Flag) return number != 0 ? "1" : "0";
        return model::FormatDecimal(number);
    }

    const model::SetupDocument& setup_;
    xml::Document& document_;
};

}  // namespace

bool WriteSetup(const model::SetupDocument& setup, xml::Document& document) {
    if (!document.AppendProcessingInstruction("xml", kDeclarationData)) return false;
    Node root = document.CreateElement(kRoot);
    if (!root) return false;
    Writer writer(setup, document);
    bool written = true;
    ForEachSection([&](const auto& section) { written = written && writer.Write(root, section); });
    return written && document.AppendChild(Node(), root);
}

}  // namespace korvane::setupfile
