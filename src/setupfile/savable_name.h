// Whether a configuration name can become an element of a saved setup file.
#pragma once

#include <string_view>

namespace korvane::setupfile {

// True when `name` (text in the active code page) can be written by a save as the element of a
// configuration field: it is valid text in the code page, an XML element name without a colon,
// and the setup file's encoding can write it. The save, the lookup that adds absent fields and
// the command's checks all ask this one question.
bool IsSavableFieldName(std::string_view name);

// The same for a name in UTF-8: the file's own text of a name that the code page cannot hold.
bool IsSavableUtf8FieldName(std::string_view utf8);

}  // namespace korvane::setupfile
