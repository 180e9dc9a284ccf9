// `korvane show --help` points a reader to the README's table of the fields of a setup file,
// under a heading the README has.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "run_command.h"

namespace korvane::testing {
namespace {

TEST(ShowHelp, PointsToTheFieldTableOfTheReadme) {
    const CommandResult help = RunKorvane({"show", "--help"});
    ASSERT_EQ(help.status, 0) << help.err;
    const std::size_t readme = help.out.find("README.md, \"");
    ASSERT_NE(readme, std::string::npos) << help.out;
    const std::size_t start = readme + 12;
    const std::string heading = help.out.substr(start, help.out.find('"', start) - start);

    std::ifstream file(KORVANE_README);
    std::string line;
    bool found = false;
    while (!found && std::getline(file, line)) found = line == "## " + heading;
    EXPECT_TRUE(found) << "README.md has no heading \"" << heading << "\"";
}

}  // namespace
}  // namespace korvane::testing
