#include "setupfile/setup_reader.h"

#include <string>

#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"

namespace korvane::setupfile {
namespace {

using model::CommandKind;
using xml::Document;
using xml::Node;

// The first child of `node` whose name is `name`, when it is an element.
Node FindChildElement(const Document& document, Node node, std::string_view name) {
    for (Node child = document.FirstChild(node); child; child = document.NextSibling(child)) {
        if (document.HasName(child, name)) return document.IsElement(child) ? child : Node();
    }
    return Node();
}

class Reader {
  public:
    explicit Reader(Document& document) : document_(document) {}

    bool failed() const { return failed_; }
    const Document& document() const { return document_; }

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

    // The text of the first child of `item` named `name`; empty when there is none.
    std::string ChildText(Node item, const char* name, std::size_t capacity) {
        for (Node child = document_.FirstChild(item); child; child = document_.NextSibling(child)) {
            if (document_.HasName(child, name)) return NodeText(child, capacity);
        }
        return std::string();
    }

    std::int32_t ChildInteger(Node item, const char* name) {
        return model::ParseDecimal(ChildText(item, name, kNumberCapacity));
    }

    // A flag is set only by the exact text "1".
    std::int32_t ChildFlag(Node item, const char* name) {
        return ChildText(item, name, kNumberCapacity) == "1" ? 1 : 0;
    }

    // Calls `read` for every element child of `section`, in document order.
    template <typename Read>
    void ForEachItem(Node section, Read&& read) {
        for (Node item = document_.FirstChild(section); item && !failed_;
             item = document_.NextSibling(item)) {
            if (document_.IsElement(item)) read(item);
        }
    }

  private:
    Document& document_;
    const bool utf8CodePage_ = platform::ActiveCodePage() == platform::kCodePageUtf8;
    bool failed_ = false;
};

void ReadReserve(Reader& reader, Node section, model::SetupDocument& setup) {
    reader.ForEachItem(section, [&](Node item) {
        const std::string word = reader.ChildText(item, kShort, kWordCapacity);
        const std::string meaning = reader.ChildText(item, kMean, kMeaningCapacity);
        // A word read from a file has no expansion; that is given at run time only.
        setup.AddReservedWord(word, meaning, "");
    });
}

void ReadConfig(Reader& reader, Node section, model::SetupDocument& setup) {
    reader.ForEachItem(section, [&](Node item) {
        const std::string name = platform::FromUtf8(reader.document().NodeName(item));
        setup.AddElementField(name, reader.NodeText(item, kConfigValueCapacity));
    });
}

void ReadFiles(Reader& reader, Node section, model::SetupDocument& setup) {
    reader.ForEachItem(section, [&](Node item) {
        setup.AddFileInfo(reader.ChildText(item, kSrcPath, kFieldCapacity),
                          reader.ChildText(item, kFileName, kFieldCapacity),
                          reader.ChildText(item, kFolder, kFieldCapacity),
                          reader.ChildText(item, kVersion, kFieldCapacity),
                          reader.ChildText(item, kTargetOs, kFieldCapacity),
                          reader.ChildText(item, kShortcut, kFieldCapacity),
                          reader.ChildText(item, kDisplayName, kFieldCapacity),
                          reader.ChildInteger(item, kIconIndex), reader.ChildFlag(item, kSelfReg),
                          reader.ChildInteger(item, kOverwrite),
                          reader.ChildInteger(item, kFileSize), reader.ChildFlag(item, kRealTime),
                          reader.ChildFlag(item, kReboot));
    });
}

void ReadRegistrys(Reader& reader, Node section, model::SetupDocument& setup) {
    reader.ForEachItem(section, [&](Node item) {
        // The type is kept as the text found; it is converted only when handed out.
        setup.AddRegistryInfo(reader.ChildText(item, kRegPath, kFieldCapacity),
                              reader.ChildText(item, kKey, kFieldCapacity),
                              reader.ChildText(item, kType, kFieldCapacity),
                              reader.ChildText(item, kValue, kFieldCapacity),
                              reader.ChildInteger(item, kAction));
    });
}

template <typename Add>
void ReadKillProcesses(Reader& reader, Node section, Add&& add) {
    reader.ForEachItem(section, [&](Node item) {
        add(reader.ChildText(item, kClass, kClassCapacity),
            reader.ChildText(item, kTitle, kTitleCapacity));
    });
}

void ReadCommands(Reader& reader, Node section, CommandKind list, model::SetupDocument& setup) {
    reader.ForEachItem(section, [&](Node item) {
        setup.AddCommand(list, reader.NodeText(item, kCommandCapacity));
    });
}

}  // namespace

bool ReadSetup(Document& document, model::SetupDocument& setup) {
    Reader reader(document);
    const Node root = document.DocumentElement();
    if (Node section = FindChildElement(document, root, kReserve))
        ReadReserve(reader, section, setup);
    if (Node section = FindChildElement(document, root, kConfig))
        ReadConfig(reader, section, setup);
    if (Node section = FindChildElement(document, root, kFiles)) ReadFiles(reader, section, setup);
    if (Node section = FindChildElement(document, root, kRegistrys))
        ReadRegistrys(reader, section, setup);
    if (Node section = FindChildElement(document, root, kPreKills)) {
        ReadKillProcesses(reader, section,
                          [&](const std::string& className, const std::string& title) {
                              setup.AddPreKillProcess(className, title);
                          });
    }
    if (Node section = FindChildElement(document, root, kUpKills)) {
        ReadKillProcesses(reader, section,
                          [&](const std::string& className, const std::string& title) {
                              setup.AddUpKillProcess(className, title);
                          });
    }
    const std::pair<const char*, CommandKind> commandSections[] = {
        {kPreExecute, CommandKind::PreExecute},
        {kPostExecute, CommandKind::PostExecute},
        {kUpdateExecute, CommandKind::UpdateExecute},
        {kDeleteExecute, CommandKind::DeleteExecute},
    };
    for (const auto& [name, list] : commandSections) {
        if (Node section = FindChildElement(document, root, name))
            ReadCommands(reader, section, list, setup);
    }
    return !reader.failed();
}

}  // namespace korvane::setupfile
