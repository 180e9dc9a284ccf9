#include "cli/description.h"

#include <stdexcept>
#include <vector>

#include "model/decimal.h"
#include "model/setup_document.h"
#include "platform/code_page.h"

namespace korvane::cli {
namespace {

// The model's command lists, in the order of Description::commands.
constexpr std::array<model::CommandKind, 4> kCommandKinds = {
    model::CommandKind::PreExecute, model::CommandKind::PostExecute,
    model::CommandKind::UpdateExecute, model::CommandKind::DeleteExecute};

std::string Utf8(const std::string& text) {
    return platform::ToUtf8Replacing(text);
}

std::string Local(const nlohmann::json& value, const std::string& what) {
    if (!value.is_string()) throw std::runtime_error(what + " must be a string");
    const std::string& text = value.get_ref<const std::string&>();
    // The library takes texts as C strings, which would end at the NUL.
    if (text.find('\0') != std::string::npos)
        throw std::runtime_error(what + " holds a NUL character (\\u0000), which no text can hold");
    return platform::FromUtf8(text);
}

std::int32_t Integer(const nlohmann::json& value, const char* what) {
    if (!value.is_number_integer() || value.get<std::int64_t>() < INT32_MIN ||
        value.get<std::int64_t>() > INT32_MAX) {
        throw std::runtime_error(std::string(what) + " must be a 32-bit integer");
    }
    return static_cast<std::int32_t>(value.get<std::int64_t>());
}

const nlohmann::json& Member(const nlohmann::json& object, const char* name) {
    static const nlohmann::json kMissing;
    if (!object.is_object())
        throw std::runtime_error(std::string("expected an object holding ") + name);
    const auto found = object.find(name);
    return found != object.end() ? *found : kMissing;
}

// An array member, or an empty array when the member is missing.
const nlohmann::json& Array(const nlohmann::json& object, const char* name) {
    static const nlohmann::json kEmpty = nlohmann::json::array();
    const nlohmann::json& member = Member(object, name);
    if (member.is_null()) return kEmpty;
    if (!member.is_array()) throw std::runtime_error(std::string(name) + " must be an array");
    return member;
}

// One object of a JSON array, read member by member; errors name the member as
// "files[2].srcPath" (positions count from 0).
struct JsonItem {
    const nlohmann::json& object;
    const char* array;
    std::size_t position;

    std::string Label(const char* member) const {
        return std::string(array) + "[" + std::to_string(position) + "]." + member;
    }
    std::string Text(const char* member) const {
        return Local(Member(object, member), Label(member));
    }
    std::int32_t Number(const char* member) const {
        return Integer(Member(object, member), Label(member).c_str());
    }
};

// Calls `read(item)` for each object of the array `name` of `json`.
template <typename Read>
void ForEachItem(const nlohmann::json& json, const char* name, Read read) {
    const nlohmann::json& array = Array(json, name);
    for (std::size_t position = 0; position < array.size(); ++position)
        read(JsonItem{array[position], name, position});
}

}  // namespace

Description ReadDescription(const model::SetupDocument& document) {
    Description description;
    for (const auto& [word, entry] : document.ReservedWords())
        description.words.push_back({word, std::string(entry.Meaning())});
    for (const auto& [name, value] : document.ElementFields())
        description.fields.push_back({name, value});
    for (const model::FileEntry& entry : document.Files()) {
        Description::File file;
        file.srcPath = entry.SrcPath();
        file.fileName = entry.FileName();
        file.folder = entry.Folder();
        file.version = entry.Version();
        file.targetOs = entry.TargetOs();
        file.shortcut = entry.Shortcut();
        file.displayName = entry.DisplayName();
        file.iconIndex = entry.iconIndex;
        file.selfReg = entry.selfReg;
        file.overwrite = entry.overwrite;
        file.fileSize = entry.fileSize;
        file.realTime = entry.realTime;
        file.reboot = entry.reboot;
        description.files.push_back(file);
    }
    for (const model::RegistryEntry& entry : document.Registries()) {
        description.registries.push_back({std::string(entry.RegPath()), std::string(entry.Key()),
                                          model::ParseDecimal(entry.Type()),
                                          std::string(entry.Value()), entry.action});
    }
    for (const model::KillProcessEntry& entry : document.PreKills())
        description.preKills.push_back(
            {std::string(entry.ClassName()), std::string(entry.Title())});
    for (const model::KillProcessEntry& entry : document.UpKills())
        description.upKills.push_back({std::string(entry.ClassName()), std::string(entry.Title())});
    for (std::size_t list = 0; list < kCommandKinds.size(); ++list)
        description.commands[list] = document.Commands(kCommandKinds[list]);
    return description;
}

void FillDocument(const Description& description, model::SetupDocument& document) {
    document.ClearAll();
    for (const auto& word : description.words)
        document.AddReservedWord(word.word, word.meaning, "");
    for (const auto& field : description.fields) document.AddElementField(field.name, field.value);
    for (const auto& f : description.files) {
        document.AddFileInfo(f.srcPath, f.fileName, f.folder, f.version, f.targetOs, f.shortcut,
                             f.displayName, f.iconIndex, f.selfReg, f.overwrite, f.fileSize,
                             f.realTime, f.reboot);
    }
    for (const auto& r : description.registries)
        document.AddRegistryInfo(r.regPath, r.key, model::FormatDecimal(r.type), r.value, r.action);
    for (const auto& p : description.preKills) document.AddPreKillProcess(p.className, p.title);
    for (const auto& p : description.upKills) document.AddUpKillProcess(p.className, p.title);
    for (std::size_t list = 0; list < kCommandKinds.size(); ++list) {
        for (const auto& command : description.commands[list])
            document.AddCommand(kCommandKinds[list], command);
    }
}

nlohmann::ordered_json ToJson(const Description& description) {
    nlohmann::ordered_json json;
    json["reservedWords"] = nlohmann::ordered_json::array();
    for (const auto& w : description.words) {
        json["reservedWords"].push_back({{"word", Utf8(w.word)}, {"meaning", Utf8(w.meaning)}});
    }
    json["config"] = nlohmann::ordered_json::array();
    for (const auto& f : description.fields) {
        json["config"].push_back({{"name", Utf8(f.name)}, {"value", Utf8(f.value)}});
    }
    json["files"] = nlohmann::ordered_json::array();
    for (const auto& f : description.files) {
        json["files"].push_back({{"srcPath", Utf8(f.srcPath)},
                                 {"fileName", Utf8(f.fileName)},
                                 {"folder", Utf8(f.folder)},
                                 {"version", Utf8(f.version)},
                                 {"targetOs", Utf8(f.targetOs)},
                                 {"shortcut", Utf8(f.shortcut)},
                                 {"displayName", Utf8(f.displayName)},
                                 {"iconIndex", f.iconIndex},
                                 {"selfReg", f.selfReg},
                                 {"overwrite", f.overwrite},
                                 {"fileSize", f.fileSize},
                                 {"realTime", f.realTime},
                                 {"reboot", f.reboot}});
    }
    json["registry"] = nlohmann::ordered_json::array();
    for (const auto& r : description.registries) {
        json["registry"].push_back({{"regPath", Utf8(r.regPath)},
                                    {"key", Utf8(r.key)},
                                    {"type", r.type},
                                    {"value", Utf8(r.value)},
                                    {"action", r.action}});
    }
    for (const auto& [name, processes] :
         {std::pair{"preKill", &description.preKills}, std::pair{"upKill", &description.upKills}}) {
        json[name] = nlohmann::ordered_json::array();
        for (const auto& p : *processes) {
            json[name].push_back({{"className", Utf8(p.className)}, {"title", Utf8(p.title)}});
        }
    }
    for (std::size_t list = 0; list < kCommandListNames.size(); ++list) {
        json[kCommandListNames[list]] = nlohmann::ordered_json::array();
        for (const auto& command : description.commands[list]) {
            json[kCommandListNames[list]].push_back(Utf8(command));
        }
    }
    return json;
}

Description FromJson(const nlohmann::json& json) {
    Description description;
    ForEachItem(json, "reservedWords", [&](const JsonItem& item) {
        description.words.push_back({item.Text("word"), item.Text("meaning")});
    });
    ForEachItem(json, "config", [&](const JsonItem& item) {
        description.fields.push_back({item.Text("name"), item.Text("value")});
    });
    ForEachItem(json, "files", [&](const JsonItem& item) {
        description.files.push_back(
            {item.Text("srcPath"), item.Text("fileName"), item.Text("folder"), item.Text("version"),
             item.Text("targetOs"), item.Text("shortcut"), item.Text("displayName"),
             item.Number("iconIndex"), item.Number("selfReg"), item.Number("overwrite"),
             item.Number("fileSize"), item.Number("realTime"), item.Number("reboot")});
    });
    ForEachItem(json, "registry", [&](const JsonItem& item) {
        description.registries.push_back({item.Text("regPath"), item.Text("key"),
                                          item.Number("type"), item.Text("value"),
                                          item.Number("action")});
    });
    for (const auto& [name, processes] :
         {std::pair{"preKill", &description.preKills}, std::pair{"upKill", &description.upKills}}) {
        ForEachItem(json, name, [&, processes = processes](const JsonItem& item) {
            processes->push_back({item.Text("className"), item.Text("title")});
        });
    }
    for (std::size_t list = 0; list < kCommandListNames.size(); ++list) {
        const char* name = kCommandListNames[list];
        const nlohmann::json& commands = Array(json, name);
        for (std::size_t position = 0; position < commands.size(); ++position) {
            description.commands[list].push_back(Local(
                commands[position], std::string(name) + "[" + std::to_string(position) + "]"));
        }
    }
    return description;
}

}  // namespace korvane::cli
