// The whole setup description as the command sees it: read from a loaded description, filled
// into one to be saved, and converted to and from JSON. Texts are in the system code page.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/setup_document.h"

namespace korvane::cli {

struct Description {
    struct Word {
        std::string word, meaning;
    };
    struct Field {
        std::string name, value;
    };
    struct File {
        std::string srcPath, fileName, folder, version, targetOs, shortcut, displayName;
        std::int32_t iconIndex = 0, selfReg = 0, overwrite = 0, fileSize = 0, realTime = 0,
                     reboot = 0;
    };
    struct Registry {
        std::string regPath, key;
        std::int32_t type = 0;
        std::string value;
        std::int32_t action = 0;
    };
    struct Process {
        std::string className, title;
    };

    std::vector<Word> words;
    std::vector<Field> fields;
    std::vector<File> files;
    std::vector<Registry> registries;
    std::vector<Process> preKills, upKills;
    // Before installing, after installing, on update, on removal.
    std::array<std::vector<std::string>, 4> commands;
};

// Names of the command lists, in the order of Description::commands.
inline constexpr std::array<const char*, 4> kCommandListNames = {"preExecute", "postExecute",
                                                                 "updateExecute", "deleteExecute"};

// The whole of `document`.
Description ReadDescription(const model::SetupDocument& document);

// Empties `document` and fills it with `description`, as the setter exports would.
void FillDocument(const Description& description, model::SetupDocument& document);

// The JSON form: every text in UTF-8.
nlohmann::ordered_json ToJson(const Description& description);
// Reads the JSON form; throws std::runtime_error naming what is wrong.
Description FromJson(const nlohmann::json& json);

}  // namespace korvane::cli
