// The export list against the header: every listed name is a function korvane.h declares,
// with the argument size the list gives for its 32-bit Windows symbol (Name@N).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <type_traits>

#include "korvane.h"

namespace {

// Bytes an argument takes on the 32-bit Windows stack: 4 for a pointer, else its size
// rounded up to 4.
template <typename Argument>
constexpr int StackBytes() {
    return std::is_pointer_v<Argument> ? 4 : static_cast<int>((sizeof(Argument) + 3) / 4 * 4);
}

template <typename Result, typename... Arguments>
constexpr int ArgumentBytes(Result(KORVANE_CALL*)(Arguments...)) {
    return (0 + ... + StackBytes<Arguments>());
}

#define KORVANE_EXPORT(name, bytes) \
    static_assert(ArgumentBytes(&name) == (bytes), #name ": argument bytes differ from the list");
#include "korvane_exports.inc"
#undef KORVANE_EXPORT

TEST(ExportList, NamesEachOfTheInterfaceOnce) {
    std::set<std::string> names;
    int listed = 0;
#define KORVANE_EXPORT(name, bytes) \
    names.insert(#name);            \
    ++listed;
#include "korvane_exports.inc"
#undef KORVANE_EXPORT
    EXPECT_EQ(listed, 37);
    EXPECT_EQ(names.size(), 37u);
    EXPECT_EQ(names.count("GetSpcialDirectoryInCurrentSystem"), 1u);
}

TEST(ExportList, VersionMacrosAgree) {
    EXPECT_EQ(std::string(KORVANE_VERSION), std::to_string(KORVANE_VERSION_MAJOR) + "." +
                                                std::to_string(KORVANE_VERSION_MINOR) + "." +
                                                std::to_string(KORVANE_VERSION_PATCH));
}

}  // namespace
