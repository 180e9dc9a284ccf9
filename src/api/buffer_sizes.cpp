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

static_assert(sizeof FileEntry::srcPath == KORVANE_PATH_SIZE);
static_assert(sizeof FileEntry::fileName == KORVANE_PATH_SIZE);
static_assert(sizeof FileEntry::folder == KORVANE_PATH_SIZE);
static_assert(sizeof FileEntry::version == KORVANE_VERSION_TEXT_SIZE);
static_assert(sizeof FileEntry::targetOs == KORVANE_TARGET_OS_SIZE);
static_assert(sizeof FileEntry::shortcut == KORVANE_SHORTCUT_SIZE);
static_assert(sizeof FileEntry::displayName == KORVANE_DISPLAY_NAME_SIZE);

static_assert(sizeof RegistryEntry::regPath == KORVANE_TEXT_SIZE);
static_assert(sizeof RegistryEntry::key == KORVANE_TEXT_SIZE);
static_assert(sizeof RegistryEntry::value == KORVANE_TEXT_SIZE);
static_assert(sizeof KillProcessEntry::className == KORVANE_TEXT_SIZE);
static_assert(sizeof KillProcessEntry::title == KORVANE_TEXT_SIZE);
static_assert(sizeof ReservedWordEntry::meaning == KORVANE_TEXT_SIZE);
static_assert(sizeof ReservedWordEntry::expansion == KORVANE_TEXT_SIZE);

// What a load keeps of a text never exceeds what its getter may write.
static_assert(setupfile::kMeaningCapacity <= KORVANE_TEXT_SIZE);
static_assert(setupfile::kFieldCapacity <= KORVANE_TEXT_SIZE);
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
