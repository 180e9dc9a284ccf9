// Version resources on Windows: the system's version library.
#include <windows.h>

#include <algorithm>

#include "platform/version_resource.h"

namespace korvane::platform {
namespace {

class WindowsVersionResources final : public VersionResources {
  public:
    std::uint32_t InfoSize(const std::string& fileName) const override {
        DWORD ignored = 0;
        return GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    }

    bool ReadInfo(const std::string& fileName, std::uint32_t size,
                  std::vector<unsigned char>& block) const override {
        return block.size() >= size && GetFileVersionInfoA(fileName.c_str(), 0, size, block.data());
    }

    bool QueryTranslations(const std::vector<unsigned char>& block,
                           std::vector<Translation>& table) const override {
        // VerQueryValueA may write its ANSI copies of texts into the block: it gets a copy.
        std::vector<unsigned char> scratch(block);
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(scratch.data(), "\\VarFileInfo\\Translation", &value, &length))
            return false;
        table.clear();
        const auto* entries = static_cast<const WORD*>(value);
        for (UINT entry = 0; entry < length / 4; ++entry)
            table.push_back({entries[2 * entry], entries[2 * entry + 1]});
        return true;
    }

    bool QueryString(const std::vector<unsigned char>& block, const std::string& subBlock,
                     std::string& value) const override {
        std::vector<unsigned char> scratch(block);
        void* text = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(scratch.data(), subBlock.c_str(), &text, &length)) return false;
        // The length counts characters, not bytes: the text ends at its NUL, which the block
        // (one zero byte longer than the resource) always has before its end.
        const auto* begin = static_cast<const unsigned char*>(text);
        const unsigned char* end = scratch.data() + scratch.size();
        if (begin == nullptr || length == 0 || begin < scratch.data() || begin >= end) {
            value.clear();
        } else {
            value.assign(begin, std::find(begin, end, '\0'));
        }
        return true;
    }
};

}  // namespace

const VersionResources& SystemVersionResources() {
    static const WindowsVersionResources resources;
    return resources;
}

}  // namespace korvane::platform
