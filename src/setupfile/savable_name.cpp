#include "setupfile/savable_name.h"

#include <string>

#include "platform/code_page.h"
#include "setupfile/grammar.h"
#include "xml/xml_rules.h"

namespace korvane::setupfile {

bool IsSavableFieldName(std::string_view name) {
    std::string utf8;
    return platform::ToUtf8(name, utf8) && IsSavableUtf8FieldName(utf8);
}

bool IsSavableUtf8FieldName(std::string_view utf8) {
    return utf8.size() <= kMaxSavableNameBytes && xml::IsElementName(utf8) &&
           platform::IsEncodableIn(kFileEncoding, utf8);
}

}  // namespace korvane::setupfile
