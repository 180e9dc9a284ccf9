// Element names of a setup file.
#pragma once

#include <cstddef>

namespace korvane::setupfile {

inline constexpr const char* kRoot = "SETUP";

// Sections, in the order they are written and read.
inline constexpr const char* kReserve = "RESERVE";
inline constexpr const char* kConfig = "CONFIG";
inline constexpr const char* kFiles = "FILES";
inline constexpr const char* kRegistrys = "REGISTRYS";
inline constexpr const char* kPreKills = "PREKILLS";
inline constexpr const char* kUpKills = "UPKILLS";
inline constexpr const char* kPreExecute = "PREEXECUTE";
inline constexpr const char* kPostExecute = "POSTEXECUTE";
inline constexpr const char* kUpdateExecute = "UPDATEEXECUTE";
inline constexpr const char* kDeleteExecute = "DELETEEXECUTE";

// Items and their values.
inline constexpr const char* kWord = "WORD";
inline constexpr const char* kShort = "SHORT";
inline constexpr const char* kMean = "MEAN";
inline constexpr const char* kFile = "FILE";
inline constexpr const char* kSrcPath = "SRCPATH";
inline constexpr const char* kFileName = "FILENAME";
inline constexpr const char* kFolder = "FOLDER";
inline constexpr const char* kVersion = "VERSION";
inline constexpr const char* kTargetOs = "TARGETOS";
inline constexpr const char* kShortcut = "SHORTCUT";
inline constexpr const char* kDisplayName = "DISPLAYNAME";
inline constexpr const char* kIconIndex = "ICONINDEX";
inline constexpr const char* kSelfReg = "SELFREG";
inline constexpr const char* kRealTime = "REALTIME";
inline constexpr const char* kReboot = "REBOOT";
inline constexpr const char* kOverwrite = "OVERWRITE";
inline constexpr const char* kFileSize = "FILESIZE";
inline constexpr const char* kRegistry = "REGISTRY";
inline constexpr const char* kRegPath = "REGPATH";
inline constexpr const char* kType = "TYPE";
inline constexpr const char* kKey = "KEY";
inline constexpr const char* kValue = "VALUE";
inline constexpr const char* kAction = "ACTION";
inline constexpr const char* kPreKill = "PREKILL";
inline constexpr const char* kUpKill = "UPKILL";
inline constexpr const char* kClass = "CLASS";
inline constexpr const char* kTitle = "TITLE";
inline constexpr const char* kCommand = "COMMAND";

// How many bytes of each text the reader keeps, terminator included. Texts that go into a
// fixed field of a record are also cut to that field's width.
inline constexpr std::size_t kWordCapacity = 256;
inline constexpr std::size_t kMeaningCapacity = 1024;
inline constexpr std::size_t kConfigValueCapacity = 1024;
inline constexpr std::size_t kNumberCapacity = 256;
inline constexpr std::size_t kClassCapacity = 256;
inline constexpr std::size_t kTitleCapacity = 1024;
inline constexpr std::size_t kCommandCapacity = 2048;
inline constexpr std::size_t kFieldCapacity = 1024;

// The encoding every written file is declared in, and its XML declaration.
inline constexpr const char* kFileEncoding = "euc-kr";
inline constexpr const char* kDeclarationData = "version=\"1.0\" encoding=\"euc-kr\"";

}  // namespace korvane::setupfile
