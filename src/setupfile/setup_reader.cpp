#include "setupfile/setup_reader.h"

#include <array>
#include <string>

#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"

namespace korvane::setupfile {
namespace {

using xml::Document;
using xml::Node;

class Reader {
  public:
    Reader(Document& document, model::SetupDocument& setup) : document_(document), setup_(setup) {}

    bool failed() const { return failed_; }

    // Reads the section `rule` declares from the first child of `root` with its name.
    template <typename Section>
    void Read(Node root, const Section& rule) {
        const Node section = FindChildElement(root, rule.section);
        if (section) ReadSection(section, rule);
    }

  private:
    // The first child of `node` whose name is `name`, when it is an element.
    Node FindChildElement(Node node, std::string_view name) const {
        for (Node child = document_.FirstChild(node); child; child = document_.NextSibling(child)) {
            if (document_.HasName(child, name)) return document_.IsElement(child) ? child : Node();
        }
        return Node();
    }

    // The text beneath `node` in the system code page, at most `capacity` - 1 bytes, cut at a
    // whole character.
    std::string NodeText(Node node, std::size_t capacity) {
        if (!node) return std::string();
        // A character of the code page takes at most four bytes of UTF-8 (and a character it
        // lacks becomes one '?'), so this much UTF-8 always fills the capacity.
        std::string utf8;
        if (!document_.Text(node, 4 * (capacity - 1), utf8)) {
            failed_ = true;
            return std::string();
        }
        // The parser hands out well-formed UTF-8: under a UTF-8 code page it is already the text.
        std::string text = utf8CodePage_ ? std::move(utf8) : platform::FromUtf8(utf8);
        text.resize(platform::WholeCharPrefix(text, capacity - 1));
        return text;
    }

    // The first child of `item` named `name`, or no node.
    Node FindChild(Node item, const char* name) const {
        for (Node child = document_.FirstChild(item); child; child = document_.NextSibling(child)) {
            if (document_.HasName(child, name)) return child;
        }
        return Node();
    }

    // The text of the first child of `item` named `name`; empty when there is none.
    std::string ChildText(Node item, const char* name, std::size_t capacity) {
        return NodeText(FindChild(item, name), capacity);
    }

    // Calls `read` for every element child of `section`, in document order: each is one item,
    // whatever its name.
    template <typename ReadItem>
    void ForEachItem(Node section, ReadItem&& read) {
        for (Node item = document_.FirstChild(section); item && !failed_;
             item = document_.NextSibling(item)) {
            if (document_.IsElement(item)) read(item);
        }
    }

    void ReadSection(Node section, const ReserveSection& rule) {
        ForEachItem(section, [&](Node item) {
            const std::string word = ChildText(item, rule.wordElement, rule.wordCapacity);
            const std::string meaning = ChildText(item, rule.meaningElement, rule.meaningCapacity);
            // A word read from a file has no expansion; that is given at run time only.
            setup_.AddReservedWord(word, meaning, "");
        });
    }

    void ReadSection(Node section, const ConfigSection& rule) {
        ForEachItem(section, [&](Node item) {
            const std::string name = platform::FromUtf8(document_.NodeName(item));
            setup_.AddElementField(name, NodeText(item, rule.valueCapacity));
        });
    }

    void ReadSection(Node section, const CommandSection& rule) {
        ForEachItem(section, [&](Node item) {
            setup_.AddCommand(rule.list, NodeText(item, kCommandCapacity));
        });
    }

    template <typename Record, std::size_t N>
    void ReadSection(Node section, const RecordSection<Record, N>& rule) {
        ForEachItem(section, [&](Node item) {
            std::array<std::string, Record::kTextCount> texts;
            Record record;
            // Values usually come in the order a save writes them: each is then the child after
            // the previous one, and every child before it has the name of an earlier value, so
            // it is the first child with its name. Otherwise the children are searched.
            Node expected = document_.FirstChild(item);
            for (const ValueRule<Record>& value : rule.values) {
                Node child;
                if (expected && document_.HasName(expected, value.element)) {
                    child = expected;
                    expected = document_.NextSibling(expected);
                } else {
                    child = FindChild(item, value.element);
                    expected = Node();
                }
                std::string text = NodeText(child, value.capacity);
                if (value.StoredAsText()) {
                    texts[value.text] = std::move(text);
                } else if (value.kind == ValueKind::Flag) {
                    record.*value.number = text == "1" ? 1 : 0;
                } else {
                    record.*value.number = model::ParseDecimal(text);
                }
            }
            std::array<std::string_view, Record::kTextCount> views;
            for (std::size_t i = 0; i < views.size(); ++i) views[i] = texts[i];
            record.texts = model::PackedTexts<Record::kTextCount>(views, Record::kWidths);
            (setup_.*rule.append)(std::move(record));
        });
    }

    Document& document_;
    model::SetupDocument& setup_;
    const bool utf8CodePage_ = platform::ActiveCodePage() == platform::kCodePageUtf8;
    bool failed_ = false;
};

}  // namespace

bool ReadSetup(Document& document, model::SetupDocument& setup) {
    Reader reader(document, setup);
    const Node root = document.DocumentElement();
    ForEachSection([&](const auto& section) { reader.Read(root, section); });
    return !reader.failed();
}

}  // namespace korvane::setupfile
