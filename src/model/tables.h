// The tables of the setup description.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace korvane::model {

// Key order of the maps: bytes compared as unsigned values, a proper prefix first, no locale.
struct ByteOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        const std::size_t common = a.size() < b.size() ? a.size() : b.size();
        const int byBytes = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
        return byBytes != 0 ? byBytes < 0 : a.size() < b.size();
    }
};

// An ordered list of records, each allocated on its own and owned by the list.
template <typename Record>
using RecordList = std::vector<std::unique_ptr<Record>>;

using ReservedWordTable = std::map<std::string, std::unique_ptr<ReservedWordEntry>, ByteOrder>;
using ElementFieldTable = std::map<std::string, std::string, ByteOrder>;
using CommandList = std::vector<std::string>;

// The four command lists, one per moment of an installation.
enum class CommandKind { PreExecute, PostExecute, UpdateExecute, DeleteExecute };

}  // namespace korvane::model
