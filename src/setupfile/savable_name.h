// Whether a configuration name can become an element of a saved setup file.
#pragma once

#include <string_view>

#include <cstddef>

namespace korvane::setupfile {

// The longest element name, in UTF-8 bytes, that libxml2 reads back: a longer one is "Name too
// long". Every build keeps to it, so that a file one build saves loads on the others.
inline constexpr std::size_t kMaxSavableNameBytes = 50000;

// True when `name` (text in the active code page) can be written by a save as the element of a
// configuration field: it is valid text in the code page, an XML element name without a colon,
// the setup file's encoding can write it, and a load can read it back (kMaxSavableNameBytes). The save, the lookup that adds absent fields and
// the command's checks all ask this one question.
bool IsSavableFieldName(std::string_view name);

// The same for a name in UTF-8: the file's own text of a name that the code page cannot hold.
bool IsSavableUtf8FieldName(std::string_view utf8);

}  // namespace korvane::setupfile
