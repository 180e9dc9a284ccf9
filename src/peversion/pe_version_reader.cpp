#include "peversion/pe_version_reader.h"

#include <cstddef>
#include <cstdint>

namespace korvane::peversion {
namespace {

constexpr std::uint16_t kDosSignature = 0x5A4D;     // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kSignatureAndFileHeaderSize = 4 + 20;
constexpr std::size_t kSectionHeaderSize = 40;
// Where the optional header's data directories start, after the count of directories.
constexpr std::size_t kPe32DataDirectories = 96;
constexpr std::size_t kPe32PlusDataDirectories = 112;
constexpr std::size_t kDataDirectorySize = 8;
constexpr std::uint32_t kResourceDirectoryIndex = 2;

constexpr std::size_t kResourceDirectoryHeaderSize = 16;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
// In a directory entry: the name is a string (not a number), the target a directory.
constexpr std::uint32_t kEntryFlag = 0x80000000u;

constexpr std::uint32_t kVersionResourceType = 16;  // RT_VERSION
constexpr std::uint32_t kVersionResourceName = 1;   // VS_VERSION_INFO
// wLength, wValueLength and wType of the block's root.
constexpr std::size_t kVersionHeaderSize = 6;

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const unsigned char* p) {
    return U16(p) | static_cast<std::uint32_t>(U16(p + 2)) << 16;
}

struct Section {
    std::uint32_t address;     // relative virtual address of its start
    std::uint32_t size;        // bytes of it that the file holds
    std::uint32_t fileOffset;  // where those bytes are in the file
};

// The headers of a PE image that lead to its resources.
class PeImage {
  public:
    explicit PeImage(const ByteSource& source) : source_(source) {}

    // Reads the headers and the section table; false unless the bytes start a PE32 or PE32+
    // image with a resource directory.
    bool Open() {
        unsigned char dos[kDosHeaderSize];
        if (!source_.ReadAt(0, dos, sizeof dos) || U16(dos) != kDosSignature) return false;
        const std::uint64_t peOffset = U32(dos + kPeOffsetField);

        unsigned char file[kSignatureAndFileHeaderSize];
        if (!source_.ReadAt(peOffset, file, sizeof file) || U32(file) != kPeSignature) {
            return false;
        }
        const std::size_t sectionCount = U16(file + 6);
        const std::size_t optionalSize = U16(file + 20);

        std::vector<unsigned char> optional(optionalSize);
        if (optionalSize < 2 ||
            !source_.ReadAt(peOffset + sizeof file, optional.data(), optionalSize)) {
            return false;
        }
        return FindResourceDirectory(optional) &&
               ReadSections(peOffset + sizeof file + optionalSize, sectionCount);
    }

    std::uint32_t ResourceAddress() const { return resourceAddress_; }

    // Reads the `length` bytes at relative virtual address `address`; false unless all of them
    // lie in the file's part of one section.
    bool ReadAddress(std::uint64_t address, void* out, std::size_t length) const {
        for (const Section& section : sections_) {
            if (address < section.address || address - section.address >= section.size) continue;
            const std::uint64_t inSection = address - section.address;
            if (length > section.size - inSection) return false;
            return source_.ReadAt(section.fileOffset + inSection, out, length);
        }
        return false;
    }

  private:
    bool FindResourceDirectory(const std::vector<unsigned char>& optional) {
        const std::uint16_t magic = U16(optional.data());
        std::size_t directories = 0;
        if (magic == kPe32Magic) {
            directories = kPe32DataDirectories;
        } else if (magic == kPe32PlusMagic) {
            directories = kPe32PlusDataDirectories;
        } else {
            return false;
        }
        const std::size_t entry = directories + kResourceDirectoryIndex * kDataDirectorySize;
        if (optional.size() < entry + kDataDirectorySize) return false;
        if (U32(optional.data() + directories - 4) <= kResourceDirectoryIndex) return false;
        resourceAddress_ = U32(optional.data() + entry);
        return resourceAddress_ != 0;
    }

    bool ReadSections(std::uint64_t tableOffset, std::size_t count) {
        std::vector<unsigned char> table(count * kSectionHeaderSize);
        if (!source_.ReadAt(tableOffset, table.data(), table.size())) return false;
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* header = table.data() + i * kSectionHeaderSize;
            const std::uint32_t virtualSize = U32(header + 8);
            const std::uint32_t rawSize = U32(header + 16);
            // The file holds the raw bytes; a smaller virtual size hides the rest of them.
            const std::uint32_t size =
                virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
            if (size != 0) sections_.push_back({U32(header + 12), size, U32(header + 20)});
        }
        return !sections_.empty();
    }

    const ByteSource& source_;
    std::vector<Section> sections_;
    std::uint32_t resourceAddress_ = 0;
};

// The target of an entry of the resource directory at `directory` (an offset from the start of
// the resources): of the entry with the number `id`, or of the first entry when there is no id.
// Only an entry whose target is a directory (or, with `wantDirectory` false, data) counts.
std::optional<std::uint32_t> FindEntry(const PeImage& image, std::uint32_t directory,
                                       std::optional<std::uint32_t> id, bool wantDirectory) {
    const std::uint64_t start = std::uint64_t{image.ResourceAddress()} + directory;
    unsigned char header[kResourceDirectoryHeaderSize];
    if (!image.ReadAddress(start, header, sizeof header)) return std::nullopt;
    const std::size_t count = std::size_t{U16(header + 12)} + U16(header + 14);

    std::vector<unsigned char> entries(count * kResourceEntrySize);
    if (!image.ReadAddress(start + sizeof header, entries.data(), entries.size())) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t name = U32(entries.data() + i * kResourceEntrySize);
        const std::uint32_t target = U32(entries.data() + i * kResourceEntrySize + 4);
        if (id && ((name & kEntryFlag) != 0 || name != *id)) continue;
        if (((target & kEntryFlag) != 0) != wantDirectory) continue;
        return target & ~kEntryFlag;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<unsigned char>> ReadPeVersionResource(const ByteSource& source) {
    PeImage image(source);
    if (!image.Open()) return std::nullopt;

    // Always exactly three levels (type, name, language), so a directory that refers back to
    // itself cannot trap the walk.
    const auto names = FindEntry(image, 0, kVersionResourceType, true);
    if (!names) return std::nullopt;
    const auto languages = FindEntry(image, *names, kVersionResourceName, true);
    if (!languages) return std::nullopt;
    const auto data = FindEntry(image, *languages, std::nullopt, false);
    if (!data) return std::nullopt;

    unsigned char entry[kResourceDataEntrySize];
    if (!image.ReadAddress(std::uint64_t{image.ResourceAddress()} + *data, entry, sizeof entry)) {
        return std::nullopt;
    }
    const std::uint32_t address = U32(entry);
    const std::uint32_t size = U32(entry + 4);

    // The block's own length, which must fit in the resource, says how much of it is the block.
    unsigned char length[2];
    if (!image.ReadAddress(address, length, sizeof length)) return std::nullopt;
    const std::size_t blockLength = U16(length);
    if (blockLength < kVersionHeaderSize || blockLength > size) return std::nullopt;

    std::vector<unsigned char> block(blockLength);
    if (!image.ReadAddress(address, block.data(), block.size())) return std::nullopt;
    return block;
}

}  // namespace korvane::peversion
