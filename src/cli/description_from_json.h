// The setup description from the JSON form that show --json prints, read as strictly as an
// author's slips call for: whatever the description could not hold as written is refused, not
// dropped, cut or rounded.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/setup_document.h"

namespace korvane::cli {

// Fills `setup`, which should be empty, from the JSON form. Throws std::runtime_error at the
// first fault, naming the member at fault by its path ("files[2].srcPath", positions from 0):
// - a key that the description or the entry does not have, or a key that is missing; the
//   optional "$schema" at the top, for editors, is read as a string and ignored;
// - a value of the wrong type: a section that is not an array, an entry that is not an object,
//   a text that is not a string, a number that is not an integer of 32 bits, a flag that is
//   not 0, 1, false or true;
// - a text longer, in bytes of the code page, than a load keeps of it ("files[0].shortcut holds
//   14 bytes; a load keeps 9", as `korvane check` says it), or holding a character that a setup
//   file cannot hold;
// - a reserved word or configuration field given a second time (under the code page: a second
//   that reads like the first), which a load would drop, and a configuration name that a save
//   cannot write.
// A text holding characters that the code page lacks is kept as the JSON has it, as a load
// keeps a file's, and written so; each such text adds a warning to `warnings`.
void FromJson(const nlohmann::json& json, model::SetupDocument& setup,
              std::vector<std::string>& warnings);

}  // namespace korvane::cli
