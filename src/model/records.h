// The records of the setup description. Each text has a width in bytes, terminator included:
// a longer text is cut at the last whole character that fits. Texts are held compactly (see
// packed_texts.h) and in the system code page; a record does not change once added.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/packed_texts.h"

namespace korvane::model {

inline constexpr std::size_t kPathWidth = 260;
inline constexpr std::size_t kVersionWidth = 128;
inline constexpr std::size_t kTargetOsWidth = 20;
inline constexpr std::size_t kShortcutWidth = 10;
inline constexpr std::size_t kDisplayNameWidth = 130;
inline constexpr std::size_t kRegistryTypeWidth = 128;
inline constexpr std::size_t kLongTextWidth = 1024;

// One FILE item of the FILES section.
struct FileEntry {
    enum Text : std::size_t {
        kSrcPath,
        kFileName,
        kVersion,
        kFolder,
        kTargetOs,
        kShortcut,
        kDisplayName,
        kTextCount
    };
    static constexpr std::array<std::size_t, kTextCount> kWidths = {
        kPathWidth,     kPathWidth,     kVersionWidth,    kPathWidth,
        kTargetOsWidth, kShortcutWidth, kDisplayNameWidth};

    PackedTexts<kTextCount> texts;
    std::int32_t iconIndex = 0;
    std::int32_t selfReg = 0;  // flag: any non-zero value counts as set
    std::int32_t overwrite = 0;
    std::int32_t fileSize = 0;
    std::int32_t realTime = 0;  // flag
    std::int32_t reboot = 0;    // flag

    std::string_view SrcPath() const { return texts[kSrcPath]; }
    std::string_view FileName() const { return texts[kFileName]; }
    std::string_view Version() const { return texts[kVersion]; }
    std::string_view Folder() const { return texts[kFolder]; }
    std::string_view TargetOs() const { return texts[kTargetOs]; }
    std::string_view Shortcut() const { return texts[kShortcut]; }
    std::string_view DisplayName() const { return texts[kDisplayName]; }
};

// One REGISTRY item. The value type is kept as decimal text.
struct RegistryEntry {
    enum Text : std::size_t { kRegPath, kType, kKey, kValue, kTextCount };
    static constexpr std::array<std::size_t, kTextCount> kWidths = {
        kLongTextWidth, kRegistryTypeWidth, kLongTextWidth, kLongTextWidth};

    PackedTexts<kTextCount> texts;
    std::int32_t action = 0;

    std::string_view RegPath() const { return texts[kRegPath]; }
    std::string_view Type() const { return texts[kType]; }
    std::string_view Key() const { return texts[kKey]; }
    std::string_view Value() const { return texts[kValue]; }
};

// One PREKILL or UPKILL item: the window class and title of a process to stop.
struct KillProcessEntry {
    enum Text : std::size_t { kClassName, kTitle, kTextCount };
    static constexpr std::array<std::size_t, kTextCount> kWidths = {kLongTextWidth, kLongTextWidth};

    PackedTexts<kTextCount> texts;

    std::string_view ClassName() const { return texts[kClassName]; }
    std::string_view Title() const { return texts[kTitle]; }
};

// The value of a reserved word. The expansion is given at run time only and never stored in a
// setup file.
struct ReservedWordEntry {
    enum Text : std::size_t { kMeaning, kExpansion, kTextCount };
    static constexpr std::array<std::size_t, kTextCount> kWidths = {kLongTextWidth, kLongTextWidth};

    PackedTexts<kTextCount> texts;

    std::string_view Meaning() const { return texts[kMeaning]; }
    std::string_view Expansion() const { return texts[kExpansion]; }
};

static_assert(FitsPackedTexts(FileEntry::kWidths) && FitsPackedTexts(RegistryEntry::kWidths) &&
              FitsPackedTexts(KillProcessEntry::kWidths) &&
              FitsPackedTexts(ReservedWordEntry::kWidths));

}  // namespace korvane::model
