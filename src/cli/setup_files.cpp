#include "cli/setup_files.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "cli/stylesheet.h"
#include "korvane.h"
#include "model/setup_document.h"

namespace korvane::cli {
namespace {

namespace fs = std::filesystem;

// A temporary directory that the process works in while it exists.
class PrivateWorkingDirectory {
  public:
    PrivateWorkingDirectory() : previous_(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "korvane-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        std::error_code error;
        fs::current_path(path_, error);
        if (error) path_.clear();
    }
    ~PrivateWorkingDirectory() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    PrivateWorkingDirectory(const PrivateWorkingDirectory&) = delete;
    PrivateWorkingDirectory& operator=(const PrivateWorkingDirectory&) = delete;

    bool ok() const { return !path_.empty(); }
    const fs::path& path() const { return path_; }

  private:
    fs::path previous_;
    fs::path path_;
};

}  // namespace

bool LoadSetupFileExplained(const std::string& path, std::string& reason) {
    if (LoadSetupFile(path.c_str()) == 1) return true;
    // Load it again with the library's own classes to learn why it failed.
    model::SetupDocument diagnosis;
    if (diagnosis.LoadXmlFile(path.c_str()) == 1) {
        reason = path + ": cannot be read";
        return false;
    }
    const xml::LoadError& error = diagnosis.LastLoadError();
    switch (error.kind) {
        case xml::LoadError::Kind::Unreadable:
            reason = path + ": cannot read: " + error.text;
            break;
        case xml::LoadError::Kind::NotWellFormed:
            reason = path + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) +
                     ": not well-formed XML: " + error.text;
            break;
        case xml::LoadError::Kind::None:
            reason = path + ": expands beyond what can be read (entity expansion)";
            break;
    }
    return false;
}

bool SaveSetupFileExplained(const std::string& path, std::string& reason) {
    std::error_code error;
    const fs::path target = fs::absolute(path, error);
    const std::string stylesheet = FindStylesheet();
    if (stylesheet.empty()) {
        reason = "cannot find indent.xsl (looked in " + StylesheetSearchPath() + ")";
        return false;
    }
    {
        PrivateWorkingDirectory work;
        if (!work.ok() || !fs::copy_file(stylesheet, work.path() / "indent.xsl", error)) {
            reason = "cannot prepare a private working directory";
            return false;
        }
        if (SaveSetupFile(target.c_str()) == 1) return true;
    }
    const fs::path directory = target.parent_path();
    if (!fs::is_directory(directory, error)) {
        reason = path + ": cannot write: the directory " + directory.string() + " does not exist";
    } else if (access(directory.c_str(), W_OK) != 0 || fs::is_directory(target, error)) {
        reason = path + ": cannot write: not writable";
    } else {
        reason = path +
                 ": cannot write: a configuration name is not a valid XML element name, "
                 "or a text holds a character XML cannot carry";
    }
    return false;
}

}  // namespace korvane::cli
