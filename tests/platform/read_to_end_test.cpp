// Reading a file whole when it changes size between its stated size and the end of the read.
#include "platform/read_to_end.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace korvane::platform {
namespace {

// Reads `content` in pieces of at most `piece` bytes, whatever size was stated for it.
int ReadWhole(const std::string& content, std::size_t stated, std::size_t maxBytes,
              std::string& bytes, std::size_t piece = 7) {
    std::size_t at = 0;
    return ReadToEnd(stated, maxBytes, bytes,
                     [&](char* buffer, std::size_t room, std::size_t& got) {
                         got = std::min({room, piece, content.size() - at});
                         std::memcpy(buffer, content.data() + at, got);
                         at += got;
                         return 0;
                     });
}

TEST(ReadToEnd, ReadsWhatTheFileHoldsAtTheEndNotWhatItsSizeSaid) {
    const std::string content(70000, 'x');
    std::string bytes;
    EXPECT_EQ(ReadWhole(content, content.size(), content.size(), bytes), 0);
    EXPECT_EQ(bytes, content);
    EXPECT_EQ(ReadWhole(content, 10, content.size(), bytes, 4096), 0);  // grew
    EXPECT_EQ(bytes, content);
    EXPECT_EQ(ReadWhole("short", 100, 100, bytes), 0);  // shrank
    EXPECT_EQ(bytes, "short");
    EXPECT_EQ(ReadWhole("", 0, 0, bytes), 0);
    EXPECT_EQ(bytes, "");
}

TEST(ReadToEnd, AFileThatGrowsBeyondTheBoundOrFailsIsNotRead) {
    std::string bytes;
    EXPECT_EQ(ReadWhole(std::string(11, 'x'), 10, 10, bytes), EFBIG);
    EXPECT_EQ(ReadWhole(std::string(100000, 'x'), 10, 99999, bytes, 65536), EFBIG);
    EXPECT_EQ(ReadToEnd(10, 10, bytes, [](char*, std::size_t, std::size_t&) { return EIO; }), EIO);
}

}  // namespace
}  // namespace korvane::platform
