#include "cli/savable_name.h"

#include "setupfile/grammar.h"
#include "xml/dom.h"

namespace korvane::cli {

bool IsSavableFieldName(const std::string& utf8Name) {
    // Asks a document declared like a setup file to make the element, as the save does.
    auto probe = xml::Document::Create();
    return probe != nullptr &&
           probe->AppendProcessingInstruction("xml", setupfile::kDeclarationData) &&
           static_cast<bool>(probe->CreateElement(utf8Name));
}

}  // namespace korvane::cli
