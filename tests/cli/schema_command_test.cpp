// korvane schema: exactly one of its two forms, each a whole document; and the JSON form's
// "$schema" member, which names the JSON Schema for editors, is no fault to build. How well the
// schemas match what the command accepts is tested by tests/schema/.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "run_command.h"
#include "scratch_directory.h"

namespace {

using korvane::testing::CommandResult;
using korvane::testing::RunKorvane;
using korvane::testing::ScratchDirectory;

TEST(SchemaCommand, TakesExactlyOneForm) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"schema"}, {"schema", "--xsd", "--json"}, {"schema", "--dtd"}}) {
        CommandResult result = RunKorvane(arguments);
        EXPECT_EQ(result.status, 2) << arguments.size();
        EXPECT_EQ(result.out, "");
    }
    CommandResult help = RunKorvane({"schema", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--xsd"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--json"), std::string::npos) << help.out;
}

TEST(SchemaCommand, PrintsTheXmlSchemaOrTheJsonSchema) {
    CommandResult xsd = RunKorvane({"schema", "--xsd"});
    ASSERT_EQ(xsd.status, 0) << xsd.err;
    EXPECT_EQ(xsd.out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xs:schema ", 0), 0u)
        << xsd.out.substr(0, 200);
    EXPECT_NE(xsd.out.find("<xs:element name=\"SETUP\">"), std::string::npos);
    EXPECT_EQ(xsd.out.back(), '\n');

    CommandResult json = RunKorvane({"schema", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json schema = nlohmann::json::parse(json.out);
    EXPECT_EQ(schema["$schema"], "https://json-schema.org/draft/2020-12/schema");
    EXPECT_EQ(schema["additionalProperties"], false);
    EXPECT_TRUE(schema["properties"].contains("files"));
    EXPECT_EQ(xsd.err + json.err, "");
}

TEST(SchemaCommand, BuildTakesADescriptionThatNamesItsSchema) {
    ScratchDirectory directory;
    directory.Write("description.json",
                    R"({"$schema": "/usr/share/korvane/setup.schema.json",
                        "config": [{"name": "PRODUCT", "value": "Sample"}]})");
    CommandResult built = RunKorvane({"build", "description.json", "-o", "setup.xml"});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.err, "");
    CommandResult shown = RunKorvane({"show", "--json", "setup.xml"});
    EXPECT_EQ(nlohmann::json::parse(shown.out)["config"][0]["value"], "Sample");
}

}  // namespace
