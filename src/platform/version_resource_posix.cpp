// Version resources on POSIX systems: read from the file's PE image by the library's own reader,
// which reads only the headers and the resource it needs, whatever the size of the file.
#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "peversion/pe_version_reader.h"
#include "peversion/version_block.h"
#include "platform/code_page.h"
#include "platform/file_support_posix.h"
#include "platform/version_resource.h"

namespace korvane::platform {
namespace {

using peversion::ByteSource;
using peversion::FindVersionValue;
using peversion::ReadPeVersionResource;
using peversion::VersionText;
using peversion::VersionTranslations;

class FileByteSource final : public ByteSource {
  public:
    explicit FileByteSource(int descriptor) : descriptor_(descriptor) {}

    bool ReadAt(std::uint64_t offset, void* out, std::size_t length) const override {
        constexpr std::uint64_t kLastOffset = std::numeric_limits<off_t>::max();
        if (offset > kLastOffset || length > kLastOffset - offset) return false;
        auto* bytes = static_cast<unsigned char*>(out);
        std::size_t done = 0;
        while (done < length) {
            const ssize_t got =
                pread(descriptor_, bytes + done, length - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;  // an error, or the end of the file
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

  private:
    int descriptor_;
};

std::optional<std::vector<unsigned char>> VersionResourceOf(const std::string& fileName) {
    const PosixFile file(fileName);
    struct stat status {};
    // Only regular files: a device or FIFO could be endless or block.
    if (!file.Status(status) || !S_ISREG(status.st_mode)) return std::nullopt;
    return ReadPeVersionResource(FileByteSource(file.Descriptor()));
}

class PeVersionResources final : public VersionResources {
  public:
    std::uint32_t InfoSize(const std::string& fileName) const override {
        const auto resource = VersionResourceOf(fileName);
        return resource ? static_cast<std::uint32_t>(resource->size()) : 0;
    }

    bool ReadInfo(const std::string& fileName, std::uint32_t size,
                  std::vector<unsigned char>& block) const override {
        const auto resource = VersionResourceOf(fileName);
        // The file may have changed since its size was asked for.
        if (!resource || resource->size() > size || block.size() < size) return false;
        std::copy(resource->begin(), resource->end(), block.begin());
        return true;
    }

    bool QueryTranslations(const std::vector<unsigned char>& block,
                           std::vector<Translation>& table) const override {
        const auto value = FindVersionValue(block, "\\VarFileInfo\\Translation");
        if (!value) return false;
        table = VersionTranslations(block, *value);
        return true;
    }

    bool QueryString(const std::vector<unsigned char>& block, const std::string& subBlock,
                     std::string& value) const override {
        const auto found = FindVersionValue(block, subBlock);
        if (!found) return false;
        value = FromUtf16(VersionText(block, *found));
        return true;
    }
};

}  // namespace

const VersionResources& SystemVersionResources() {
    static const PeVersionResources resources;
    return resources;
}

}  // namespace korvane::platform
