// The reader of version resources in PE images and of the version blocks inside them, over
// well-formed, crafted, truncated and corrupted input.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "pe_fixtures.h"
#include "peversion/byte_source.h"
#include "peversion/pe_version_reader.h"
#include "peversion/version_block.h"

namespace {

using korvane::peversion::FindVersionValue;
using korvane::peversion::MemoryByteSource;
using korvane::peversion::ReadPeVersionResource;
using korvane::peversion::VersionText;
using korvane::peversion::VersionTranslations;
using Bytes = std::vector<unsigned char>;

Bytes Fixture(const std::string& name) {
    return korvane::testing::PeFixtureBytes(name);
}

std::optional<Bytes> ResourceOf(const Bytes& image) {
    return ReadPeVersionResource(MemoryByteSource(image.data(), image.size()));
}

std::optional<std::u16string> TextAt(const Bytes& block, const char* path) {
    const auto value = FindVersionValue(block, path);
    if (!value) return std::nullopt;
    return VersionText(block, *value);
}

// --- Version blocks built node by node ---------------------------------------------------------

void PadToFour(Bytes& bytes) {
    while (bytes.size() % 4 != 0) bytes.push_back(0);
}

void PutU16(Bytes& bytes, std::size_t offset, unsigned value) {
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

Bytes Utf16(std::u16string_view text) {
    Bytes bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<unsigned char>(unit));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}

// A node with its key, its value (of `valueLength` in the node's unit) and its children, each
// child starting at a multiple of four bytes.
Bytes Node(std::u16string_view key, unsigned type, const Bytes& value, unsigned valueLength,
           const std::vector<Bytes>& children = {}) {
    Bytes node(6, 0);
    const Bytes keyBytes = Utf16(key);
    node.insert(node.end(), keyBytes.begin(), keyBytes.end());
    node.insert(node.end(), {0, 0});
    PadToFour(node);
    node.insert(node.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        PadToFour(node);
        node.insert(node.end(), child.begin(), child.end());
    }
    PutU16(node, 0, static_cast<unsigned>(node.size()));
    PutU16(node, 2, valueLength);
    PutU16(node, 4, type);
    return node;
}

Bytes String(std::u16string_view key, std::u16string_view text) {
    Bytes value = Utf16(text);
    value.insert(value.end(), {0, 0});
    return Node(key, 1, value, static_cast<unsigned>(text.size() + 1));
}

Bytes VersionInfo(const std::vector<Bytes>& strings, const Bytes& translations) {
    return Node(u"VS_VERSION_INFO", 0, Bytes(52, 0), 52,
                {Node(u"StringFileInfo", 1, {}, 0, {Node(u"040904B0", 1, {}, 0, strings)}),
                 Node(u"VarFileInfo", 1, {}, 0,
                      {Node(u"Translation", 0, translations,
                            static_cast<unsigned>(translations.size()))})});
}

const Bytes kUsEnglishUtf16 = {0x09, 0x04, 0xB0, 0x04};

TEST(VersionBlock, FindsValuesByPathWhateverTheCaseOfTheKeys) {
    // A translation table of two entries and a stray byte.
    const Bytes block =
        VersionInfo({String(u"CompanyName", u"Korvane"), String(u"FileVersion", u"1, 0")},
                    {0x09, 0x04, 0xB0, 0x04, 0x12, 0x04, 0xB5, 0x03, 0x07});
    EXPECT_EQ(TextAt(block, "\\StringFileInfo\\040904b0\\FileVersion"), u"1, 0");
    EXPECT_EQ(TextAt(block, "\\STRINGFILEINFO\\040904B0\\fileversion"), u"1, 0");
    EXPECT_FALSE(TextAt(block, "\\StringFileInfo\\040904b0\\ProductName"));

    const auto table = FindVersionValue(block, "\\VarFileInfo\\Translation");
    ASSERT_TRUE(table);
    const auto translations = VersionTranslations(block, *table);
    ASSERT_EQ(translations.size(), 2u);
    EXPECT_EQ(translations[1].language, 0x0412);
    EXPECT_EQ(translations[1].codePage, 949);
}

TEST(VersionBlock, AChildOfLengthZeroEndsTheWalk) {
    // Without that rule the walk would stay on the empty child for ever.
    const Bytes block = VersionInfo({Bytes(8, 0), String(u"FileVersion", u"1")}, kUsEnglishUtf16);
    EXPECT_FALSE(TextAt(block, "\\StringFileInfo\\040904b0\\FileVersion"));
    EXPECT_TRUE(FindVersionValue(block, "\\VarFileInfo\\Translation"));
}

TEST(VersionBlock, AChildLongerThanItsParentIsNotRead) {
    Bytes string = String(u"FileVersion", u"1");
    PutU16(string, 0, 0x400);
    const Bytes block = VersionInfo({string}, kUsEnglishUtf16);
    EXPECT_FALSE(TextAt(block, "\\StringFileInfo\\040904b0\\FileVersion"));
}

TEST(VersionBlock, TextStopsAtItsFirstNulOrTheEndOfItsNode) {
    Bytes overlong = Node(u"FileVersion", 1, Utf16(u"7, 2"), 0x7FFF);  // no terminator
    const Bytes cutAtNode = VersionInfo({overlong}, kUsEnglishUtf16);
    EXPECT_EQ(TextAt(cutAtNode, "\\StringFileInfo\\040904b0\\FileVersion"), u"7, 2");
    // The same node as the very last bytes of the block.
    EXPECT_EQ(TextAt(overlong, "\\"), u"7, 2");

    const Bytes cutAtNul =
        VersionInfo({String(u"FileVersion", std::u16string(u"3\0junk", 6))}, kUsEnglishUtf16);
    EXPECT_EQ(TextAt(cutAtNul, "\\StringFileInfo\\040904b0\\FileVersion"), u"3");
}

// --- PE images ---------------------------------------------------------------------------------

// Where things are in version-1001.dll (PE32, resources at file offset 0x800, address 0x3000).
constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kSectionCount = 0x86;
constexpr std::size_t kOptionalHeaderSize = 0x94;
constexpr std::size_t kOptionalMagic = 0x98;
constexpr std::size_t kDirectoryCount = 0xF4;
constexpr std::size_t kResourceDirectoryAddress = 0x108;
constexpr std::size_t kResourceSectionRawSize = 0x178 + 2 * 40 + 16;
constexpr std::size_t kRootEntryCounts = 0x80C;
constexpr std::size_t kNameEntryTarget = 0x82C;
constexpr std::size_t kDataEntryAddress = 0x848;
constexpr std::size_t kDataEntrySize = 0x84C;
constexpr std::size_t kBlockEnd = 0x858 + 0x174;

std::uint32_t U32At(const Bytes& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, value & 0xFFFF);
    PutU16(bytes, offset + 2, value >> 16);
}

TEST(PeVersionReader, ReadsTheVersionResourceOfPe32AndPe32PlusImages) {
    for (const char* name : {"version-1001.dll", "version-build-pe32plus.dll"}) {
        SCOPED_TRACE(name);
        const auto block = ResourceOf(Fixture(name));
        ASSERT_TRUE(block);
        EXPECT_EQ((*block)[0] | (*block)[1] << 8, static_cast<int>(block->size()));
        EXPECT_TRUE(FindVersionValue(*block, "\\StringFileInfo\\040904b0\\FileVersion"));
    }
}

TEST(PeVersionReader, OtherFilesHaveNoVersionResource) {
    for (const char* name : {"no-version.dll", "no-resources-pe32plus.dll"}) {
        EXPECT_FALSE(ResourceOf(Fixture(name))) << name;
    }
    const std::string text = "MZ is how this text starts, but it is no program";
    EXPECT_FALSE(ResourceOf(Bytes(text.begin(), text.end())));
    EXPECT_FALSE(ResourceOf(Bytes()));
}

TEST(PeVersionReader, EveryTruncatedCopyGivesTheWholeBlockOrNone) {
    const Bytes image = Fixture("version-1001.dll");
    ASSERT_GT(image.size(), kBlockEnd);
    const auto whole = ResourceOf(image);
    ASSERT_TRUE(whole);
    for (std::size_t length = 0; length < image.size(); ++length) {
        const auto block = ResourceOf(Bytes(image.begin(), image.begin() + length));
        if (length < kBlockEnd) {
            ASSERT_FALSE(block) << length;
        } else {
            ASSERT_EQ(block, whole) << length;
        }
    }
}

TEST(PeVersionReader, CorruptHeadersAndDirectoriesMeanNoVersionResource) {
    const Bytes image = Fixture("version-1001.dll");
    ASSERT_EQ(U32At(image, kResourceDirectoryAddress), 0x3000u);  // the layout these cases use
    ASSERT_EQ(U32At(image, kDataEntryAddress), 0x3058u);
    ASSERT_EQ(U32At(image, kDataEntrySize), 0x174u);

    struct Corruption {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    };
    const Corruption corruptions[] = {
        {"PE header past the end", kPeOffsetField, 0xFFFFFFF0},
        {"unknown optional header", kOptionalMagic,
         0x0000010C | (U32At(image, kOptionalMagic) & 0xFFFF0000)},
        {"no resource directory slot", kDirectoryCount, 2},
        {"optional header too short", kOptionalHeaderSize,
         (U32At(image, kOptionalHeaderSize) & 0xFFFF0000) | 0x70},
        {"sections past the end", kSectionCount,
         (U32At(image, kSectionCount) & 0xFFFF0000) | 0xFFFF},
        {"resources outside every section", kResourceDirectoryAddress, 0x9000},
        {"resource section cut short", kResourceSectionRawSize, 0x100},
        {"more entries than the section holds", kRootEntryCounts, 0xFFFFFFFF},
        {"name directory refers to itself", kNameEntryTarget, 0x80000018},
        {"data outside its section", kDataEntryAddress, 0x3FFF},
        {"data address at the very end", kDataEntryAddress, 0xFFFFFFFF},
        {"data shorter than its block", kDataEntrySize, 0x173},
    };
    for (const Corruption& corruption : corruptions) {
        Bytes corrupt = image;
        PutU32(corrupt, corruption.offset, corruption.value);
        EXPECT_FALSE(ResourceOf(corrupt)) << corruption.what;
    }
}

}  // namespace
