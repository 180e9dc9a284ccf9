#include "platform/private_folder.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_support_windows.h"
#include "platform/files.h"

namespace korvane::platform {
namespace {

std::string Narrow(const std::wstring& wide) {
    return FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()),
                                         wide.size()));
}

std::string LastErrorText() {
    return ErrorText(LastErrorNumber());
}

// Removes `folder` and everything in it; what cannot be removed stays.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                  (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
            if (isFolder) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

// Windows does not let a folder that is some process's current folder be removed, so the one
// the process came from is kept by name.
struct PrivateCurrentFolder::State {
    std::wstring previous;
    std::wstring path;
};

PrivateCurrentFolder::PrivateCurrentFolder() : state_(std::make_unique<State>()) {
    const DWORD currentLength = GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> current(currentLength + 1);
    const DWORD gotCurrent = GetCurrentDirectoryW(currentLength + 1, current.data());
    if (currentLength == 0 || gotCurrent == 0 || gotCurrent > currentLength) {
        failure_ = "cannot read the current folder: " + LastErrorText();
        return;
    }
    wchar_t temporary[MAX_PATH + 1];
    const DWORD temporaryLength = GetTempPathW(MAX_PATH + 1, temporary);
    if (temporaryLength == 0 || temporaryLength > MAX_PATH) {
        failure_ = "no usable temporary folder (see TMP and TEMP)";
        return;
    }
    // A name no folder has: the process id, the tick count and a counter, tried until one is free.
    const std::wstring base = std::wstring(temporary, temporaryLength) + L"korvane-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount()) + L"-";
    for (unsigned attempt = 0; attempt < 100 && state_->path.empty(); ++attempt) {
        const std::wstring candidate = base + std::to_wstring(attempt);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            state_->path = candidate;
        } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
            failure_ = "cannot create a folder in " + Narrow(std::wstring(temporary)) + ": " +
                       LastErrorText();
            return;
        }
    }
    if (state_->path.empty()) {
        failure_ = "cannot create a folder in " + Narrow(std::wstring(temporary)) +
                   ": every name tried is taken";
        return;
    }
    if (!SetCurrentDirectoryW(state_->path.c_str())) {
        failure_ = "cannot enter " + Narrow(state_->path) + ": " + LastErrorText();
        return;
    }
    state_->previous.assign(current.data(), gotCurrent);
}

PrivateCurrentFolder::~PrivateCurrentFolder() {
    // A failed return leaves nothing to undo: the command is about to end.
    if (!state_->previous.empty()) SetCurrentDirectoryW(state_->previous.c_str());
    if (!state_->path.empty()) RemoveTree(state_->path);
}

}  // namespace korvane::platform
