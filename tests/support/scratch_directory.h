// A fresh, empty working directory for one test: the process moves into it (where saving
// looks for indent.xsl and writes temp.xml) and back out, removing it, at the end.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace korvane::testing {

// The names in `folder` but `except`, sorted, each followed by a blank.
inline std::string Listing(const std::string& folder, const std::string& except = "") {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != except) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) listing += name + " ";
    return listing;
}

class ScratchDirectory {
  public:
    // With `withStylesheet`, the project's indent.xsl is copied in.
    explicit ScratchDirectory(bool withStylesheet = true)
        : previous_(std::filesystem::current_path()) {
        // A new directory of a random name (mkdtemp is not on every system).
        std::minstd_rand random(std::random_device{}());
        do {
            path_ = std::filesystem::temp_directory_path() /
                    ("korvane-test-" + std::to_string(random() % 1000000000));
        } while (!std::filesystem::create_directory(path_));
        std::filesystem::current_path(path_);
        if (withStylesheet) std::filesystem::copy_file(KORVANE_INDENT_XSL, path_ / "indent.xsl");
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `contents` to the file `name` in this directory and returns its path.
    std::string Write(const std::string& name, const std::string& contents) const {
        std::ofstream(path_ / name, std::ios::binary) << contents;
        return (path_ / name).string();
    }

    std::string Read(const std::string& name) const {
        std::ifstream file(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

    // Names of the files here other than indent.xsl, sorted, each followed by a blank.
    std::string Listing() const { return testing::Listing(path_.string(), "indent.xsl"); }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace korvane::testing
