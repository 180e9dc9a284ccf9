#include "setupfile/setup_writer.h"

#include <string>

#include "model/decimal.h"
#include "platform/code_page.h"
#include "setupfile/grammar.h"
#include "setupfile/savable_name.h"

namespace korvane::setupfile {
namespace {

using model::CommandKind;
using xml::Node;

class Writer {
  public:
    explicit Writer(xml::Document& document) : document_(document) {}

    // An element holding one text node with `text` (in the system code page); never without
    // the text node, even for the empty text.
    Node ValueElement(std::string_view name, std::string_view text) {
        Node element = document_.CreateElement(name);
        Node textNode = document_.CreateTextNode(platform::ToUtf8Replacing(text));
        if (!element || !textNode || !document_.AppendChild(element, textNode)) return Node();
        return element;
    }

    bool AppendValue(Node parent, const char* name, std::string_view text) {
        Node element = ValueElement(name, text);
        return element && document_.AppendChild(parent, element);
    }

    bool AppendInteger(Node parent, const char* name, std::int32_t value) {
        return AppendValue(parent, name, model::FormatDecimal(value));
    }

    bool AppendFlag(Node parent, const char* name, std::int32_t value) {
        return AppendValue(parent, name, value != 0 ? "1" : "0");
    }

    // Creates a section, lets `fill` add its items, then links the finished section to `root`.
    template <typename Fill>
    bool Section(Node root, const char* name, Fill&& fill) {
        Node section = document_.CreateElement(name);
        return section && fill(section) && document_.AppendChild(root, section);
    }

    // Creates an item, lets `fill` add its values, then links the finished item to `section`.
    template <typename Fill>
    bool Item(Node section, const char* name, Fill&& fill) {
        Node item = document_.CreateElement(name);
        return item && fill(item) && document_.AppendChild(section, item);
    }

    bool Reserve(Node root, const model::ReservedWordTable& words) {
        return Section(root, kReserve, [&](Node section) {
            for (const auto& wordAndEntry : words) {
                // The expansion belongs to this machine and is never written.
                const bool written = Item(section, kWord, [&](Node item) {
                    return AppendValue(item, kShort, wordAndEntry.first) &&
                           AppendValue(item, kMean, wordAndEntry.second.Meaning());
                });
                if (!written) return false;
            }
            return true;
        });
    }

    bool Config(Node root, const model::ElementFieldTable& fields) {
        return Section(root, kConfig, [&](Node section) {
            for (const auto& [name, text] : fields) {
                std::string utf8Name;
                if (!IsSavableFieldName(name) || !platform::ToUtf8(name, utf8Name)) return false;
                Node element = ValueElement(utf8Name, text);
                if (!element || !document_.AppendChild(section, element)) return false;
            }
            return true;
        });
    }

    bool Files(Node root, const model::RecordList<model::FileEntry>& files) {
        return Section(root, kFiles, [&](Node section) {
            for (const auto& file : files) {
                const bool written = Item(section, kFile, [&](Node item) {
                    return AppendValue(item, kSrcPath, file.SrcPath()) &&
                           AppendValue(item, kFileName, file.FileName()) &&
                           AppendValue(item, kFolder, file.Folder()) &&
                           AppendValue(item, kVersion, file.Version()) &&
                           AppendValue(item, kTargetOs, file.TargetOs()) &&
                           AppendValue(item, kShortcut, file.Shortcut()) &&
                           AppendValue(item, kDisplayName, file.DisplayName()) &&
                           AppendInteger(item, kIconIndex, file.iconIndex) &&
                           AppendFlag(item, kSelfReg, file.selfReg) &&
                           AppendFlag(item, kRealTime, file.realTime) &&
                           AppendFlag(item, kReboot, file.reboot) &&
                           AppendInteger(item, kOverwrite, file.overwrite) &&
                           AppendInteger(item, kFileSize, file.fileSize);
                });
                if (!written) return false;
            }
            return true;
        });
    }

    bool Registrys(Node root, const model::RecordList<model::RegistryEntry>& registries) {
        return Section(root, kRegistrys, [&](Node section) {
            for (const auto& registry : registries) {
                const bool written = Item(section, kRegistry, [&](Node item) {
                    return AppendValue(item, kRegPath, registry.RegPath()) &&
                           AppendValue(item, kType, registry.Type()) &&
                           AppendValue(item, kKey, registry.Key()) &&
                           AppendValue(item, kValue, registry.Value()) &&
                           AppendInteger(item, kAction, registry.action);
                });
                if (!written) return false;
            }
            return true;
        });
    }

    bool KillProcesses(Node root, const char* sectionName, const char* itemName,
                       const model::RecordList<model::KillProcessEntry>& processes) {
        return Section(root, sectionName, [&](Node section) {
            for (const auto& process : processes) {
                const bool written = Item(section, itemName, [&](Node item) {
                    return AppendValue(item, kClass, process.ClassName()) &&
                           AppendValue(item, kTitle, process.Title());
                });
                if (!written) return false;
            }
            return true;
        });
    }

    bool Commands(Node root, const char* sectionName, const model::CommandList& commands) {
        return Section(root, sectionName, [&](Node section) {
            for (const std::string& command : commands) {
                if (!AppendValue(section, kCommand, command)) return false;
            }
            return true;
        });
    }

  private:
    xml::Document& document_;
};

}  // namespace

bool WriteSetup(const model::SetupDocument& setup, xml::Document& document) {
    Writer writer(document);
    if (!document.AppendProcessingInstruction("xml", kDeclarationData)) return false;
    Node root = document.CreateElement(kRoot);
    return root && writer.Reserve(root, setup.ReservedWords()) &&
           writer.Config(root, setup.ElementFields()) && writer.Files(root, setup.Files()) &&
           writer.Registrys(root, setup.Registries()) &&
           writer.KillProcesses(root, kPreKills, kPreKill, setup.PreKills()) &&
           writer.KillProcesses(root, kUpKills, kUpKill, setup.UpKills()) &&
           writer.Commands(root, kPreExecute, setup.Commands(CommandKind::PreExecute)) &&
           writer.Commands(root, kPostExecute, setup.Commands(CommandKind::PostExecute)) &&
           writer.Commands(root, kUpdateExecute, setup.Commands(CommandKind::UpdateExecute)) &&
           writer.Commands(root, kDeleteExecute, setup.Commands(CommandKind::DeleteExecute)) &&
           document.AppendChild(Node(), root);
}

}  // namespace korvane::setupfile
