// Setup files for the command's tests, written in the JSON form that `korvane build` reads.
#pragma once

#include <string>
#include <vector>

#include "run_command.h"
#include "scratch_directory.h"

namespace korvane::testing {

// One FILE entry; texts are given as JSON string contents (backslashes doubled).
inline std::string FileJson(const std::string& srcPath, const std::string& fileName,
                            const std::string& version = "", int fileSize = 0,
                            const std::string& folder = "[APPDIR]",
                            const std::string& targetOs = "ALL") {
    return R"({"srcPath":")" + srcPath + R"(","fileName":")" + fileName + R"(","folder":")" +
           folder + R"(","version":")" + version + R"(","targetOs":")" + targetOs +
           R"(","shortcut":"","displayName":"","iconIndex":0,"selfReg":0,"overwrite":1,)" +
           R"("fileSize":)" + std::to_string(fileSize) + R"(,"realTime":0,"reboot":0})";
}

inline std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : ",") + item;
    return joined;
}

// Builds the setup file `name` from JSON members (such as `"files":[...]`); returns whether
// the build succeeded.
inline bool BuildSetup(const ScratchDirectory& directory, const std::string& name,
                       const std::string& members) {
    directory.Write(name + ".json", "{" + members + "}");
    return RunKorvane({"build", name + ".json", "-o", name}).status == 0;
}

}  // namespace korvane::testing
