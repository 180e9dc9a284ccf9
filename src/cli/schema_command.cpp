// korvane schema: the XML Schema of the setup file, or the JSON Schema of its JSON form, both
// made from the grammar that the reader and writer follow.
#include <iostream>

#include "cli/commands.h"
#include "cli/json_schema.h"
#include "korvane.h"
#include "setupfile/schema_xsd.h"

namespace korvane::cli {

int Schema(SchemaForm form) {
    const char* maker = "korvane " KORVANE_VERSION;
    if (form == SchemaForm::Xml)
        std::cout << setupfile::SetupXmlSchema(maker);
    else
        std::cout << DescriptionJsonSchema(maker).dump(2) << "\n";
    return kSuccess;
}

}  // namespace korvane::cli
