// A readable description of every table of a setup description, for comparing two of them.
#pragma once

#include <sstream>
#include <string>

#include "model/setup_document.h"

namespace korvane::testing {

// Everything a setup file carries; the expansions of reserved words are left out, as files
// never hold them.
inline std::string DescribeSetup(const model::SetupDocument& setup) {
    std::ostringstream out;
    for (const auto& [word, entry] : setup.ReservedWords())
        out << "word[" << word << "]=[" << entry.Meaning() << "]\n";
    for (const auto& [name, text] : setup.ElementFields())
        out << "field[" << name << "]=[" << text << "]\n";
    for (const auto& f : setup.Files()) {
        out << "file[" << f.SrcPath() << "|" << f.FileName() << "|" << f.Folder() << "|"
            << f.Version() << "|" << f.TargetOs() << "|" << f.Shortcut() << "|" << f.DisplayName()
            << "|" << f.iconIndex << "|" << f.selfReg << "|" << f.overwrite << "|" << f.fileSize
            << "|" << f.realTime << "|" << f.reboot << "]\n";
    }
    for (const auto& r : setup.Registries()) {
        out << "registry[" << r.RegPath() << "|" << r.Type() << "|" << r.Key() << "|" << r.Value()
            << "|" << r.action << "]\n";
    }
    for (const auto& k : setup.PreKills())
        out << "prekill[" << k.ClassName() << "|" << k.Title() << "]\n";
    for (const auto& k : setup.UpKills())
        out << "upkill[" << k.ClassName() << "|" << k.Title() << "]\n";
    const std::pair<const char*, model::CommandKind> lists[] = {
        {"pre", model::CommandKind::PreExecute},
        {"post", model::CommandKind::PostExecute},
        {"update", model::CommandKind::UpdateExecute},
        {"delete", model::CommandKind::DeleteExecute}};
    for (const auto& [name, list] : lists) {
        for (const auto& command : setup.Commands(list)) out << name << "[" << command << "]\n";
    }
    return out.str();
}

}  // namespace korvane::testing
