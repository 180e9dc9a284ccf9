// A file's version resource: what the version text of a file is read from, behind an interface
// so that the reading logic is written once and tests can script any file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "peversion/translation.h"

namespace korvane::platform {

using Translation = peversion::Translation;

class VersionResources {
  public:
    virtual ~VersionResources() = default;

    // Size in bytes of the version resource of file `fileName`; 0 when the file has none or
    // cannot be read.
    virtual std::uint32_t InfoSize(const std::string& fileName) const = 0;

    // Reads the version resource of `fileName` into `block`, whose first `size` bytes (the size
    // that InfoSize gave) it may write. False when it cannot be read.
    virtual bool ReadInfo(const std::string& fileName, std::uint32_t size,
                          std::vector<unsigned char>& block) const = 0;

    // The translation table of a block that ReadInfo filled (the value at
    // \VarFileInfo\Translation). False when the block has none; an empty table is a table.
    virtual bool QueryTranslations(const std::vector<unsigned char>& block,
                                   std::vector<Translation>& table) const = 0;

    // The string value at `subBlock` (such as \StringFileInfo\040904b0\FileVersion) of a block
    // that ReadInfo filled, in the system code page. False when the block has no such value.
    virtual bool QueryString(const std::vector<unsigned char>& block, const std::string& subBlock,
                             std::string& value) const = 0;
};

// The running system's version resources. Outside Windows they are read from the file's PE
// image by the library's own reader.
const VersionResources& SystemVersionResources();

}  // namespace korvane::platform
