#include "setupfile/schema_xsd.h"

#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "setupfile/grammar.h"
#include "xml/xml_writer.h"

namespace korvane::setupfile {
namespace {

constexpr const char* kNumberType = "Number";
constexpr const char* kFlagType = "Flag";
constexpr const char* kConfigType = "ConfigurationFields";

// What the reader and the check do that a schema cannot show, and what the schema allows
// because the check does: the schema's own documentation, ahead of its declarations.
constexpr const char* kAbout[] = {
    "A setup file as `korvane check` accepts it. Generated from the grammar that the library's "
    "reader and writer share; `korvane schema --xsd` prints it.",
    "Order and presence: the sections, and the values of an item, may come in any order and any "
    "of them may be missing, as the reader looks each up by its name; a missing section reads "
    "as empty, a missing text as the empty text, and a missing number or flag as 0. A save "
    "writes every section and every value, in the order declared here.",
    "Widths: a text's width is counted in bytes of the system code page, which a schema cannot "
    "count. The maxLength of each text is that width in characters, an upper bound; "
    "`korvane check` reports a text that a load would cut.",
    "Attributes are allowed on every element and ignored by the reader (a save drops them), "
    "so xsi:noNamespaceSchemaLocation may name this schema on the root element.",
    "Left to `korvane check`: comments and processing instructions among sections, items and "
    "values (a load skips them, and one named like a section or value hides it); the names and "
    "contents of the configuration fields (any element in CONFIG is one field, whose name must "
    "be an XML name without a colon that the file's encoding can write, and whose content must "
    "be text); a configuration field given twice; characters that can disguise a text on a "
    "screen; characters that the code page lacks.",
    "The reader accepts more than this schema, and `korvane check` reports each: a root element "
    "of another name; elements it does not know, which it ignores; a second section, or a "
    "second value in an item, which it ignores; items of another name; numbers with blanks, a "
    "plus sign, leading zeros or other characters, which it reads as the C function atoi does; "
    "flags other than 0 and 1 (only the text 1 sets a flag); markup inside a value, of which it "
    "keeps only the text; a later reserved word that repeats an earlier one, which it drops.",
    "The reader also takes elements in a namespace (a default namespace that xmlns declares) by "
    "their names alone, which `korvane check` does not report; this schema, which has no target "
    "namespace, rejects them.",
};

// The positive decimals from 1 to `bound` (in digits, no leading zeros) as alternatives.
std::vector<std::string> UpTo(const std::string& bound) {
    std::vector<std::string> alternatives;
    const std::size_t length = bound.size();
    if (length > 1) alternatives.push_back("[1-9][0-9]{0," + std::to_string(length - 2) + "}");
    for (std::size_t at = 0; at < length; ++at) {
        const char low = at == 0 ? '1' : '0';
        const char high = static_cast<char>(bound[at] - 1);
        if (high < low) continue;
        std::string alternative = bound.substr(0, at);
        alternative += low == high ? std::string(1, low) : std::string{'[', low, '-', high, ']'};
        const std::size_t rest = length - at - 1;
        if (rest == 1) alternative += "[0-9]";
        if (rest > 1) alternative += "[0-9]{" + std::to_string(rest) + "}";
        alternatives.push_back(alternative);
    }
    alternatives.push_back(bound);
    return alternatives;
}

std::string Joined(const std::vector<std::string>& alternatives) {
    std::string joined;
    for (const std::string& alternative : alternatives)
        joined += (joined.empty() ? "" : "|") + alternative;
    return joined;
}

// Writes the schema's markup, indented two blanks a level.
class SchemaWriter {
  public:
    using Attributes = std::initializer_list<std::pair<const char*, std::string>>;

    SchemaWriter() { out_.ProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""); }

    void Open(const char* name, Attributes attributes = {}) {
        Start(name, attributes);
        ++depth_;
    }
    void Close() {
        --depth_;
        NewLine();
        out_.EndElement();
    }
    void Leaf(const char* name, Attributes attributes = {}) {
        Start(name, attributes);
        out_.EndElement();
    }
    void Documentation(const std::vector<std::string>& paragraphs) {
        Open("xs:annotation");
        for (const std::string& paragraph : paragraphs) {
            Start("xs:documentation", {});
            out_.Text(paragraph);
            out_.EndElement();
        }
        Close();
    }
    void Documentation(const std::string& text) { Documentation(std::vector<std::string>{text}); }

    std::string Take() {
        out_.Layout("\n");
        return out_.Take();
    }

  private:
    void Start(const char* name, Attributes attributes) {
        NewLine();
        out_.StartElement(name);
        for (const auto& [attribute, value] : attributes) out_.Attribute(attribute, value);
    }
    void NewLine() { out_.Layout("\n" + std::string(2 * depth_, ' ')); }

    xml::XmlWriter out_;
    int depth_ = 0;
};

std::string TextType(std::size_t capacity) {
    return "Text" + std::to_string(capacity - 1);
}

std::string WidthNote(std::size_t capacity) {
    return "At most " + std::to_string(capacity - 1) + " bytes in the system code page.";
}

// The declarations of the root's sections, each written as the grammar gives it; the widths
// of the texts met on the way, for their types.
class SectionWriter {
  public:
    explicit SectionWriter(SchemaWriter& out) : out_(out) {}

    void operator()(const ReserveSection& rule) {
        OpenSection(rule.section, rule.title);
        OpenItem(rule.item, "A reserved word and its meaning.");
        Value(rule.wordElement, TextType(rule.wordCapacity),
              "The reserved word, as paths write it (" + std::string(rule.wordJsonKey) +
                  " in the JSON form). " + WidthNote(rule.wordCapacity));
        Value(rule.meaningElement, TextType(rule.meaningCapacity),
              "What the word stands for (" + std::string(rule.meaningJsonKey) +
                  " in the JSON form). " + WidthNote(rule.meaningCapacity));
        widths_.insert({rule.wordCapacity, rule.meaningCapacity});
        CloseItem();
        out_.Close();  // xs:sequence
        out_.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
        out_.Close();  // xs:complexType
        // The check reports a later reserved word that repeats an earlier one.
        out_.Open("xs:unique", {{"name", "ReservedWordOnce"}});
        out_.Leaf("xs:selector", {{"xpath", rule.item}});
        out_.Leaf("xs:field", {{"xpath", rule.wordElement}});
        out_.Close();
        out_.Close();  // xs:element
    }
    void operator()(const ConfigSection& rule) {
        out_.Open("xs:element",
                  {{"name", rule.section}, {"type", kConfigType}, {"minOccurs", "0"}});
        out_.Documentation(std::string(rule.title) +
                           ": each element is a field, its name the field's name and its text "
                           "the field's value. " +
                           WidthNote(rule.valueCapacity));
        out_.Close();
    }
    void operator()(const CommandSection& rule) {
        OpenSection(rule.section, rule.title);
        out_.Open("xs:element", {{"name", kCommandItem},
                                 {"type", TextType(kCommandCapacity)},
                                 {"minOccurs", "0"},
                                 {"maxOccurs", "unbounded"}});
        out_.Documentation("A command. " + WidthNote(kCommandCapacity));
        out_.Close();
        widths_.insert(kCommandCapacity);
        out_.Close();  // xs:sequence
        out_.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
        out_.Close();  // xs:complexType
        out_.Close();  // xs:element
    }
    template <typename Record, std::size_t N>
    void operator()(const RecordSection<Record, N>& rule) {
        OpenSection(rule.section, rule.title);
        OpenItem(rule.item, std::string("An item of ") + rule.section + ".");
        for (const ValueRule<Record>& value : rule.values) {
            const std::string json = std::string("(") + value.jsonKey + " in the JSON form). ";
            switch (value.kind) {
                case ValueKind::Text:
                    Value(value.element, TextType(value.capacity),
                          std::string("A text ") + json + WidthNote(value.capacity));
                    widths_.insert(value.capacity);
                    break;
                case ValueKind::Number:
                    Value(value.element, kNumberType, std::string("A number ") + json);
                    break;
                case ValueKind::Flag:
                    Value(value.element, kFlagType,
                          std::string("A flag ") + json + "1 sets it, 0 clears it.");
                    break;
            }
        }
        CloseItem();
        out_.Close();  // xs:sequence
        out_.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
        out_.Close();  // xs:complexType
        out_.Close();  // xs:element
    }

    const std::set<std::size_t>& widths() const { return widths_; }

  private:
    // A section: at most once, holding any number of items.
    void OpenSection(const char* section, const char* title) {
        out_.Open("xs:element", {{"name", section}, {"minOccurs", "0"}});
        out_.Documentation(title);
        out_.Open("xs:complexType");
        out_.Open("xs:sequence");
    }
    // An item: its values in any order, each at most once.
    void OpenItem(const char* item, const std::string& about) {
        out_.Open("xs:element", {{"name", item}, {"minOccurs", "0"}, {"maxOccurs", "unbounded"}});
        out_.Documentation(about);
        out_.Open("xs:complexType");
        out_.Open("xs:all");
    }
    void CloseItem() {
        out_.Close();  // xs:all
        out_.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
        out_.Close();  // xs:complexType
        out_.Close();  // xs:element
    }
    void Value(const char* element, const std::string& type, const std::string& about) {
        out_.Open("xs:element", {{"name", element}, {"type", type}, {"minOccurs", "0"}});
        out_.Documentation(about);
        out_.Close();
    }

    SchemaWriter& out_;
    std::set<std::size_t> widths_;
};

// A value's type: `base` restricted as `restrict` writes it, attributes allowed beside it.
template <typename Restrict>
void ValueType(SchemaWriter& out, const std::string& name, const std::string& about,
               Restrict restrict) {
    out.Open("xs:simpleType", {{"name", name + "Text"}});
    out.Open("xs:restriction", {{"base", "xs:string"}});
    restrict();
    out.Close();
    out.Close();
    out.Open("xs:complexType", {{"name", name}});
    out.Documentation(about);
    out.Open("xs:simpleContent");
    out.Open("xs:extension", {{"base", name + "Text"}});
    out.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
    out.Close();
    out.Close();
    out.Close();
}

}  // namespace

std::string DecimalPattern(long long min, long long max) {
    return "0|" + Joined(UpTo(std::to_string(max))) + "|-(" + Joined(UpTo(std::to_string(-min))) +
           ")";
}

std::string SetupXmlSchema(std::string_view maker) {
    SchemaWriter out;
    out.Open("xs:schema", {{"xmlns:xs", "http://www.w3.org/2001/XMLSchema"}});
    std::vector<std::string> about(std::begin(kAbout), std::end(kAbout));
    about.push_back("Made by " + std::string(maker) + ".");
    out.Documentation(about);

    out.Open("xs:element", {{"name", kRoot}});
    out.Documentation("The setup description: its sections, each at most once, in any order.");
    out.Open("xs:complexType");
    out.Open("xs:all");
    SectionWriter sections(out);
    ForEachSection(sections);
    out.Close();  // xs:all
    out.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
    out.Close();  // xs:complexType
    out.Close();  // xs:element

    // A number as the writer writes it, over the whole signed 32-bit range: xs:int would take
    // blanks around it, a plus sign and leading zeros, which the check reports.
    constexpr long long kMin = std::numeric_limits<std::int32_t>::min();
    constexpr long long kMax = std::numeric_limits<std::int32_t>::max();
    ValueType(out, kNumberType,
              "A decimal number from " + std::to_string(kMin) + " to " + std::to_string(kMax) +
                  ", as a save writes it: no blanks, no plus sign, no leading zeros.",
              [&] {
                  out.Leaf("xs:pattern", {{"value", DecimalPattern(kMin, kMax)}});
              });
    ValueType(out, kFlagType, "A flag: 1 sets it, 0 clears it.", [&] {
        out.Leaf("xs:enumeration", {{"value", "0"}});
        out.Leaf("xs:enumeration", {{"value", "1"}});
    });
    for (std::size_t capacity : sections.widths()) {
        ValueType(out, TextType(capacity),
                  "A text. " + WidthNote(capacity) +
                      " A schema counts characters, each at least "
                      "one byte, so its maxLength is an upper bound.",
                  [&] {
                      out.Leaf("xs:maxLength", {{"value", std::to_string(capacity - 1)}});
                  });
    }

    // Any element is a field; its name and content are left to the check.
    out.Open("xs:complexType", {{"name", kConfigType}});
    out.Open("xs:sequence");
    out.Leaf("xs:any",
             {{"processContents", "skip"}, {"minOccurs", "0"}, {"maxOccurs", "unbounded"}});
    out.Close();
    out.Leaf("xs:anyAttribute", {{"processContents", "skip"}});
    out.Close();

    out.Close();  // xs:schema
    return out.Take();
}

}  // namespace korvane::setupfile
