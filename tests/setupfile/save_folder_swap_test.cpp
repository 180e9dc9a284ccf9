// Saves into a folder that another thread keeps swapping with a link to a second folder: every
// save works within the one folder it opened, so the second folder's files are never replaced
// and no temporary file is left in either.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "model/setup_document.h"
#include "replaced_calls.h"
#include "scratch_directory.h"
#include "setup_file_io.h"

namespace korvane::xml {
namespace {

namespace fs = std::filesystem;
using testing::Listing;

// Saves `saves` times to d/out.xml while `d` and `swap` (a link to victim/) trade places.
void SaveWhileSwapping(const model::SetupDocument& setup, int saves) {
    std::atomic<bool> done{false};
    std::atomic<int> swaps{0};
    std::thread swapper([&] {
        while (!done) {
            if (renameat2(AT_FDCWD, "d", AT_FDCWD, "swap", RENAME_EXCHANGE) == 0) ++swaps;
        }
    });
    for (int save = 0; save < saves; ++save) SaveFile(setup, "d/out.xml");
    done = true;
    swapper.join();
    EXPECT_GT(swaps.load(), 0);
    if (fs::is_symlink("d")) renameat2(AT_FDCWD, "d", AT_FDCWD, "swap", RENAME_EXCHANGE);
}

TEST(SaveFolderSwap, NothingReachesTheFolderSwappedIn) {
    testing::ScratchDirectory directory;
    fs::create_directory("d");
    fs::create_directory("victim");
    fs::create_directory_symlink("victim", "swap");
    if (renameat2(AT_FDCWD, "d", AT_FDCWD, "swap", RENAME_EXCHANGE) != 0)
        GTEST_SKIP() << "this file system cannot exchange names";
    renameat2(AT_FDCWD, "d", AT_FDCWD, "swap", RENAME_EXCHANGE);
    model::SetupDocument setup;
    setup.AddElementField("NAME", "saved");
    // Durability is not what is tested here, and syncing 2,000 files would be slow.
    const testing::ReplacedCalls calls;
    platform::SystemCalls().fsync = [](int) { return 0; };

    // A FIFO, which an ordinary save refuses.
    ASSERT_EQ(mkfifo("victim/out.xml", 0600), 0);
    SaveWhileSwapping(setup, 1000);
    EXPECT_TRUE(fs::is_fifo("victim/out.xml"));
    EXPECT_EQ(Listing("victim"), "out.xml ");
    EXPECT_EQ(Listing("d"), "out.xml ");

    // A link, which an ordinary save follows: it stays a link.
    fs::remove("victim/out.xml");
    fs::create_symlink("../outside.xml", "victim/out.xml");
    SaveWhileSwapping(setup, 1000);
    EXPECT_TRUE(fs::is_symlink("victim/out.xml"));
    EXPECT_EQ(fs::read_symlink("victim/out.xml"), "../outside.xml");
    EXPECT_EQ(Listing("victim"), "out.xml ");
    EXPECT_EQ(Listing("d"), "out.xml ");
    EXPECT_EQ(directory.Listing(), "d outside.xml swap victim ");
}

}  // namespace
}  // namespace korvane::xml
