// The PE files that scripts/make-pe-fixtures.sh builds into tests/fixtures/pe: where each is,
// and its bytes.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace korvane::testing {

inline std::string PeFixturePath(const std::string& name) {
    return std::string(KORVANE_PE_FIXTURES) + "/" + name;
}

inline std::vector<unsigned char> PeFixtureBytes(const std::string& name) {
    std::ifstream file(PeFixturePath(name), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
}

}  // namespace korvane::testing
