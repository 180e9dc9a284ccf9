#include "setupfile/setup_reader.h"

#include <array>
#include <string>

#include "model/decimal.h"
#include "setupfile/grammar.h"
#include "setupfile/read_text.h"

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

    // The text beneath `node`, at most `capacity` - 1 bytes in the code page, cut at a whole
    // character.
    ReadText NodeText(Node node, std::size_t capacity) {
        if (!node) return ReadText();
        // A character of the code page takes at most four bytes of UTF-8 (and a character it
        // lacks becomes one '?'), so this much UTF-8 always fills the capacity.
        std::string utf8;
        if (!document_.Text(node, 4 * (capacity - 1), utf8)) {
            failed_ = true;
            return ReadText();
        }
        // The parser hands out well-formed UTF-8.
        return ReadUtf8Text(std::move(utf8), capacity - 1);
    }

    // The first child of `item` named `name`, or no node.
    Node FindChild(Node item, const char* name) const {
        for (Node child = document_.FirstChild(item); child; child = document_.NextSibling(child)) {
            if (document_.HasName(child, name)) return child;
        }
        return Node();
    }

    // The text of the first child of `item` named `name`; empty when there is none.
    ReadText ChildText(Node item, const char* name, std::size_t capacity) {
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
            ReadText word = ChildText(item, rule.wordElement, rule.wordCapacity);
            ReadText meaning = ChildText(item, rule.meaningElement, rule.meaningCapacity);
            // A word read from a file has no expansion; that is given at run time only. Words
            // are compared in the code page: of two that read the same, the first stays, with
            // its own texts.
            const std::size_t before = setup_.ReservedWords().size();
            setup_.AddReservedWord(word.text, meaning.text, "");
            if (setup_.ReservedWords().size() != before)
                KeepLossyKeyed(setup_, model::KeptTable::ReservedWords, word, meaning);
        });
    }

    void ReadSection(Node section, const ConfigSection& rule) {
        ForEachItem(section, [&](Node item) {
            ReadText name = ReadUtf8Text(document_.NodeName(item));
            ReadText value = NodeText(item, rule.valueCapacity);
            const std::size_t before = setup_.ElementFields().size();
            setup_.AddElementField(name.text, value.text);
            if (setup_.ElementFields().size() != before)
                KeepLossyKeyed(setup_, model::KeptTable::ElementFields, name, value);
        });
    }

    void ReadSection(Node section, const CommandSection& rule) {
        ForEachItem(section, [&](Node item) {
            ReadText command = NodeText(item, kCommandCapacity);
            const std::size_t count = setup_.AddCommand(rule.list, command.text);
            KeepLossy(setup_, model::KeptTableOf(rule.list), count - 1, 0, command);
        });
    }

    template <typename Record, std::size_t N>
    void ReadSection(Node section, const RecordSection<Record, N>& rule) {
        ForEachItem(section, [&](Node item) {
            std::array<ReadText, Record::kTextCount> texts;
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
                ReadText read = NodeText(child, value.capacity);
                if (value.StoredAsText()) {
                    texts[value.text] = std::move(read);
                } else if (value.kind == ValueKind::Flag) {
                    record.*value.number = read.text == "1" ? 1 : 0;
                } else {
                    record.*value.number = model::ParseDecimal(read.text);
                }
            }
            std::array<std::string_view, Record::kTextCount> views;
            for (std::size_t i = 0; i < views.size(); ++i) views[i] = texts[i].text;
            record.texts = model::PackedTexts<Record::kTextCount>(views, Record::kWidths);
            const std::size_t count = (setup_.*rule.append)(std::move(record));
            for (std::size_t i = 0; i < texts.size(); ++i)
                KeepLossy(setup_, rule.kept, count - 1, i, texts[i]);
        });
    }

    Document& document_;
    model::SetupDocument& setup_;
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
