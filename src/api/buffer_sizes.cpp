// The buffer sizes that korvane.h names, checked at compile time against the fields, reader
// capacities and system limits that decide how much each getter writes. A size changed on one
// side only does not build.
#include "korvane.h"
#include "model/path_expansion.h"
#include "model/records.h"
#include "setupfile/grammar.h"
#include "system/installation_paths.h"
#include "system/special_folders.h"
#include "system/target_file_version.h"

namespace {

using korvane::model::FileEntry;
using korvane::model::KillProcessEntry;
using korvane::model::RegistryEntry;
using korvane::model::ReservedWordEntry;
namespace setupfile = korvane::setupfile;
namespace system = korvane::system;

static_assert(FileEntry::kWidths[FileEntry::kSrcPath] == KORVANE_PATH_SIZE);
static_assert(FileEntry::kWidths[FileEntry::kFileName] == KORVANE_PATH_SIZE);
static_assert(FileEntry::kWidths[FileEntry::kFolder] == KORVANE_PATH_SIZE);
static_assert(FileEntry::kWidths[FileEntry::kVersion] == KORVANE_VERSION_TEXT_SIZE);
static_assert(FileEntry::kWidths[FileEntry::kTargetOs] == KORVANE_TARGET_OS_SIZE);
static_assert(FileEntry::kWidths[FileEntry::kShortcut] == KORVANE_SHORTCUT_SIZE);
static_assert(FileEntry::kWidths[FileEntry::kDisplayName] == KORVANE_DISPLAY_NAME_SIZE);

static_assert(RegistryEntry::kWidths[RegistryEntry::kRegPath] == KORVANE_TEXT_SIZE);
static_assert(RegistryEntry::kWidths[RegistryEntry::kKey] == KORVANE_TEXT_SIZE);
static_assert(RegistryEntry::kWidths[RegistryEntry::kValue] == KORVANE_TEXT_SIZE);
static_assert(KillProcessEntry::kWidths[KillProcessEntry::kClassName] == KORVANE_TEXT_SIZE);
static_assert(KillProcessEntry::kWidths[KillProcessEntry::kTitle] == KORVANE_TEXT_SIZE);
static_assert(ReservedWordEntry::kWidths[ReservedWordEntry::kMeaning] == KORVANE_TEXT_SIZE);
static_assert(ReservedWordEntry::kWidths[ReservedWordEntry::kExpansion] == KORVANE_TEXT_SIZE);

// What a load keeps of a text never exceeds what its getter may write.
static_assert(setupfile::kMeaningCapacity <= KORVANE_TEXT_SIZE);
static_assert(setupfile::kClassCapacity <= KORVANE_TEXT_SIZE);
static_assert(setupfile::kTitleCapacity <= KORVANE_TEXT_SIZE);

static_assert(korvane::model::kExpansionBufferSize == KORVANE_TEXT_SIZE);
static_assert(system::kSpecialFolderBufferSize == KORVANE_FOLDER_SIZE);
static_assert(system::kVersionTextBufferSize == KORVANE_VERSION_TEXT_SIZE);
// A Windows folder of up to 259 characters, its backslash, the folder name, one more
// backslash and the terminator.
static_assert(KORVANE_TEMP_INSTALL_PATH_SIZE ==
              (system::kMaxPath - 1) + 1 + system::kTempInstallFolderName.size() + 1 + 1);

}  // namespace
