#include <cerrno>
#include <random>

#include "platform/files.h"

namespace korvane::platform {

int WriteNewFile(const std::string& path, const char* data, std::size_t size) {
    return WriteNewFile(path, [data, size](const PieceWriter& write) { write(data, size); });
}

int WriteScratchFile(const std::string& prefix, const std::string& suffix, const char* data,
                     std::size_t size, std::string& name) {
    return WriteScratchFile(
        prefix, suffix, [data, size](const PieceWriter& write) { write(data, size); }, name);
}

int WriteScratchFile(const std::string& prefix, const std::string& suffix,
                     const ContentsWriter& contents, std::string& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    // Drawn afresh for every name, so that processes started from one parent differ.
    std::random_device random;
    int error = EEXIST;
    for (int attempt = 0; attempt < 32 && error == EEXIST; ++attempt) {
        name = prefix;
        for (int letter = 0; letter < 8; ++letter) name += kLetters[random() % 36];
        name += suffix;
        error = WriteNewFile(name, contents);
    }
    if (error != 0) name.clear();
    return error;
}

}  // namespace korvane::platform
