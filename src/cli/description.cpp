#include "cli/description.h"

#include <stdexcept>
#include <vector>

#include "korvane.h"
#include "model/setup_document.h"
#include "platform/code_page.h"

namespace korvane::cli {
namespace {

// A loaded file never holds longer texts than these (the reader cuts them), so these buffers
// are large enough for every getter.
constexpr std::size_t kPathBuffer = KORVANE_PATH_SIZE;
constexpr std::size_t kLongBuffer = KORVANE_TEXT_SIZE;
constexpr std::size_t kWordBuffer = 256;
constexpr std::size_t kCommandBuffer = 2048;

using Buffer = std::vector<char>;

using CountFunction = int32_t (*)();
using CommandFunction = int32_t (*)(int32_t, char*);
using KillFunction = int32_t (*)(int32_t, char*, char*);

const std::array<CountFunction, 4> kCommandCounts = {GetPreExecuteCount, GetPostExecuteCount,
                                                     GetUpdateExecuteCount, GetDeleteExecuteCount};
const std::array<CommandFunction, 4> kCommandGetters = {GetPreExecute, GetPostExecute,
                                                        GetUpdateExecute, GetDeleteExecute};
const std::array<int32_t (*)(const char*), 4> kCommandSetters = {
    SetPreExecute, SetPostExecute, SetUpdateExecute, SetDeleteExecute};

std::vector<Description::Process> ReadProcesses(CountFunction count, KillFunction get) {
    std::vector<Description::Process> processes;
    Buffer className(kLongBuffer), title(kLongBuffer);
    for (int32_t i = 0; i < count(); ++i) {
        get(i, className.data(), title.data());
        processes.push_back({className.data(), title.data()});
    }
    return processes;
}

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

Description ReadLoadedDescription(const std::string& path) {
    Description description;
    Buffer a(kLongBuffer), b(kLongBuffer), c(kLongBuffer), d(kPathBuffer), e(kPathBuffer),
        f(kPathBuffer), g(kPathBuffer), h(kPathBuffer);

    for (int32_t i = 0; i < GetReservedWordCount(); ++i) {
        Buffer word(kWordBuffer);
        GetReservedWord(i, word.data(), a.data());
        description.words.push_back({word.data(), a.data()});
    }
    model::SetupDocument names;
    names.LoadXmlFile(path.c_str());
    for (const auto& field : names.ElementFields()) {
        GetElementField(field.first.c_str(), a.data());
        description.fields.push_back({field.first, a.data()});
    }
    for (int32_t i = 0; i < GetFileCount(); ++i) {
        Description::File file;
        GetFileInfo(i, a.data(), b.data(), c.data(), d.data(), e.data(), f.data(), g.data(),
                    &file.iconIndex, &file.selfReg, &file.overwrite, &file.fileSize, &file.realTime,
                    &file.reboot);
        file.srcPath = a.data();
        file.fileName = b.data();
        file.folder = c.data();
        file.version = d.data();
        file.targetOs = e.data();
        file.shortcut = f.data();
        file.displayName = g.data();
        description.files.push_back(file);
    }
    for (int32_t i = 0; i < GetRegistryCount(); ++i) {
        Description::Registry registry;
        GetRegistryInfo(i, a.data(), b.data(), &registry.type, c.data(), &registry.action);
        registry.regPath = a.data();
        registry.key = b.data();
        registry.value = c.data();
        description.registries.push_back(registry);
    }
    description.preKills = ReadProcesses(GetPreKillProcessCount, GetPreKillProcess);
    description.upKills = ReadProcesses(GetUpKillProcessCount, GetUpKillProcess);
    Buffer command(kCommandBuffer);
    for (std::size_t list = 0; list < kCommandCounts.size(); ++list) {
        for (int32_t i = 0; i < kCommandCounts[list](); ++i) {
            kCommandGetters[list](i, command.data());
            description.commands[list].push_back(command.data());
        }
    }
    return description;
}

void FillLibrary(const Description& description) {
    ClearInMemory();
    for (const auto& word : description.words)
        SetReservedWord(word.word.c_str(), word.meaning.c_str(), "");
    for (const auto& field : description.fields)
        SetElementField(field.name.c_str(), field.value.c_str());
    for (const auto& f : description.files) {
        SetFileInfo(f.srcPath.c_str(), f.fileName.c_str(), f.folder.c_str(), f.version.c_str(),
                    f.targetOs.c_str(), f.shortcut.c_str(), f.displayName.c_str(), f.iconIndex,
                    f.selfReg, f.overwrite, f.fileSize, f.realTime, f.reboot);
    }
    for (const auto& r : description.registries) {
        SetRegistryInfo(r.regPath.c_str(), r.key.c_str(), r.type, r.value.c_str(), r.action);
    }
    for (const auto& p : description.preKills)
        SetPreKillProcess(p.className.c_str(), p.title.c_str());
    for (const auto& p : description.upKills)
        SetUpKillProcess(p.className.c_str(), p.title.c_str());
    for (std::size_t list = 0; list < kCommandSetters.size(); ++list) {
        for (const auto& command : description.commands[list])
            kCommandSetters[list](command.c_str());
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
