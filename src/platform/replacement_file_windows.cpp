// The replacement of a file's contents on Windows: a file with a short temporary name beside
// the target, flushed, then put in place with ReplaceFileW (which keeps the target's
// attributes and security) or, without a target, moved there with write-through.
#include <algorithm>
#include <cerrno>
#include <new>
#include <random>
#include <vector>

#include "platform/file_support_windows.h"
#include "platform/files.h"
#include "platform/system_calls_windows.h"

namespace korvane::platform {
namespace {

std::wstring FolderOf(const std::wstring& fullPath) {
    const std::size_t separator = fullPath.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring(L".") : fullPath.substr(0, separator + 1);
}

// Creates a new file with a short random name (8.3 form, so that any target name that fits
// the folder leaves room for it) in the folder `folder` (ending in a separator).
HANDLE CreateTemporaryFile(const std::wstring& folder, std::wstring& path) {
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::minstd_rand random(std::random_device{}());
    for (int attempt = 0; attempt < 32; ++attempt) {
        std::wstring name = L"kv";
        for (int letter = 0; letter < 6; ++letter) name += kLetters[random() % 36];
        path = folder + name + L".tmp";
        const HANDLE file = SystemCalls().createFile(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in `folder` (ending in a separator) of the form Wine's ReplaceFileW gives the file
// it creates to move the replaced file aside ("rf", a number, ".tmp"), sorted.
std::vector<std::wstring> AsideNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"rf*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Wine's ReplaceFileW creates an empty "rf*.tmp" beside the target before it moves the target
// aside, and leaves it when that move fails. Removes the one such name that appeared while the
// call ran (none of `before`), when it is still an empty file: checked and removed through one
// handle, so that nothing else takes its place meanwhile. Two or more new names could include
// another save's, and are left alone.
void RemoveAsideFile(const std::wstring& folder, const std::vector<std::wstring>& before) {
    std::vector<std::wstring> appeared;
    const std::vector<std::wstring> after = AsideNames(folder);
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(appeared));
    if (appeared.size() != 1) return;
    const FileHandle file(CreateFileW((folder + appeared.front()).c_str(),
                                      DELETE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.IsOpen() || !GetFileInformationByHandle(file.Get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        information.nFileSizeHigh != 0 || information.nFileSizeLow != 0) {
        return;
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition);
}

bool MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
    return SystemCalls().moveFileEx(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
}

}  // namespace

// What a replacement holds on Windows: the target's full path and the file of new contents.
struct ReplacementFile::State {
    explicit State(const std::string& target);
    ~State();
    bool Write(const char* data, std::size_t size);
    bool Commit();

    std::wstring target_;         // full path of the target
    std::wstring temporaryPath_;  // the file of new contents, while it has a name
    HANDLE contents_ = nullptr;   // its handle while open
    bool writeFailed_ = false;
    int error_ = 0;
};

ReplacementFile::State::State(const std::string& target) {
    // Relative paths are resolved here: ReplaceFileW fails on them under Wine.
    target_ = FullPath(WidePath(target));
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = EISDIR;
        return;
    }
    const HANDLE file = CreateTemporaryFile(FolderOf(target_), temporaryPath_);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = LastErrorNumber();
        temporaryPath_.clear();
        return;
    }
    contents_ = file;
}

ReplacementFile::State::~State() {
    if (contents_ != nullptr) CloseHandle(contents_);
    if (!temporaryPath_.empty()) SystemCalls().deleteFile(temporaryPath_.c_str());
}

bool ReplacementFile::State::Write(const char* data, std::size_t size) {
    if (contents_ == nullptr || writeFailed_) return false;
    writeFailed_ = !WriteWhole(contents_, data, size);
    if (writeFailed_) error_ = LastErrorNumber();
    return !writeFailed_;
}

bool ReplacementFile::State::Commit() {
    if (contents_ == nullptr || writeFailed_) return false;
    const bool flushed = SystemCalls().flushFileBuffers(contents_);
    const DWORD flushError = GetLastError();
    const bool closed = CloseHandle(contents_);
    contents_ = nullptr;
    if (!flushed || !closed) {
        error_ = ErrorNumberOf(flushed ? GetLastError() : flushError);
        return false;
    }
    bool placed;
    if (Exists(target_)) {
        const std::vector<std::wstring> before = AsideNames(FolderOf(target_));
        placed = SystemCalls().replaceFile(target_.c_str(), temporaryPath_.c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        const DWORD replaceError = GetLastError();
        if (!placed) RemoveAsideFile(FolderOf(target_), before);
        SetLastError(replaceError);
        // The target was moved away but the new file could not take its name: it is gone, so
        // the new contents go where it was.
        if (!placed && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            placed = MoveIntoPlace(temporaryPath_, target_);
    } else {
        placed = MoveIntoPlace(temporaryPath_, target_);
    }
    if (!placed) {
        error_ = LastErrorNumber();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

ReplacementFile::ReplacementFile(const std::string& target)
    : state_(new (std::nothrow) State(target)) {}

ReplacementFile::~ReplacementFile() = default;

bool ReplacementFile::IsOpen() const {
    return state_ != nullptr && state_->contents_ != nullptr;
}

bool ReplacementFile::Write(const char* data, std::size_t size) {
    return state_ != nullptr && state_->Write(data, size);
}

bool ReplacementFile::Commit() {
    return state_ != nullptr && state_->Commit();
}

int ReplacementFile::Error() const {
    return state_ != nullptr ? state_->error_ : ENOMEM;
}

}  // namespace korvane::platform
