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

    // A text as a load keeps it: in the system code page, and, when the code page lacks some of
    // its characters, as the file had it (UTF-8), cut where the code-page text was cut.
    struct ReadText {
        std::string text;
        std::string kept;
        bool lossy = false;
    };

    // The text beneath `node`, at most `capacity` - 1 bytes in the code page, cut at a whole
    // character.
    ReadText NodeText(Node node, std::size_t capacity) {
        ReadText read;
        if (!node) return read;
        // A character of the code page takes at most four bytes of UTF-8 (and a character it
        // lacks becomes one '?'), so this much UTF-8 always fills the capacity.
        std::string utf8;
        if (!document_.Text(node, 4 * (capacity - 1), utf8)) {
            failed_ = true;
            return read;
        }
        // The parser hands out well-formed UTF-8: under a UTF-8 code page it is already the text.
        if (utf8CodePage_) {
            read.text = std::move(utf8);
            read.text.resize(platform::WholeCharPrefix(read.text, capacity - 1));
            return read;
        }
        Convert(std::move(utf8), capacity - 1, read);
        return read;
    }

    // Converts `utf8` into `read`, cut to `maxBytes` in the code page.
    static void Convert(std::string utf8, std::size_t maxBytes, ReadText& read) {
        read.lossy = !platform::FromUtf8Exactly(utf8, read.text);
        const std::size_t cut = platform::WholeCharPrefix(read.text, maxBytes);
        if (cut == read.text.size()) {
            if (read.lossy) read.kept = std::move(utf8);
            return;
        }
        read.text.resize(cut);
        if (!read.lossy) return;
        // What the cut left may have lost nothing.
        utf8.resize(platform::Utf8PrefixConvertingWithin(utf8, cut));
        std::string local;
        read.lossy = !platform::FromUtf8Exactly(utf8, local);
        if (read.lossy) read.kept = std::move(utf8);
    }

    // A name (a configuration field's element) as a load keeps it; never cut.
    ReadText NameText(std::string utf8) const {
        ReadText read;
        if (utf8CodePage_) {
            read.text = std::move(utf8);
        } else {
            Convert(std::move(utf8), std::string::npos, read);
        }
        return read;
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

    // Keeps the file's text of `read` at a place of a list, when it lost characters.
    void Keep(model::KeptTable table, std::size_t entry, std::size_t field, ReadText& read) {
        if (read.lossy) setup_.Kept().Keep(table, entry, field, std::move(read.kept));
    }

    // Keeps the file's texts of a keyed entry just added under `key`.
    void KeepKeyed(model::KeptTable table, ReadText& key, ReadText& value) {
        if (key.lossy) setup_.Kept().Keep(table, key.text, model::kKeyText, std::move(key.kept));
        if (value.lossy)
            setup_.Kept().Keep(table, key.text, model::kValueText, std::move(value.kept));
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
                KeepKeyed(model::KeptTable::ReservedWords, word, meaning);
        });
    }

    void ReadSection(Node section, const ConfigSection& rule) {
        ForEachItem(section, [&](Node item) {
            ReadText name = NameText(document_.NodeName(item));
            ReadText value = NodeText(item, rule.valueCapacity);
            const std::size_t before = setup_.ElementFields().size();
            setup_.AddElementField(name.text, value.text);
            if (setup_.ElementFields().size() != before)
                KeepKeyed(model::KeptTable::ElementFields, name, value);
        });
    }

    void ReadSection(Node section, const CommandSection& rule) {
        ForEachItem(section, [&](Node item) {
            ReadText command = NodeText(item, kCommandCapacity);
            const std::size_t count = setup_.AddCommand(rule.list, command.text);
            Keep(model::KeptTableOf(rule.list), count - 1, 0, command);
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
            for (std::size_t i = 0; i < texts.size(); ++i) Keep(rule.kept, count - 1, i, texts[i]);
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
