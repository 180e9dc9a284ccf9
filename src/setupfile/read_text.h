// A text read from a setup file (or the command's JSON form) as the description holds it: in the
// system code page, and, when the code page lacks some of its characters, also as it was read
// (UTF-8), for the description to keep and a save to write back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/kept_texts.h"
#include "model/setup_document.h"

namespace korvane::setupfile {

struct ReadText {
    std::string text;  // in the code page, '?' for each character it lacks
    std::string kept;  // when `lossy`: the UTF-8 text that `text` holds
    bool lossy = false;
};

// Well-formed UTF-8 `utf8` in the code page, cut at the last whole character within `maxBytes`.
// The kept text is cut where the code-page text was, and is only kept when what is left of it
// lost characters.
ReadText ReadUtf8Text(std::string utf8, std::size_t maxBytes = std::string::npos);

// Keeps the UTF-8 text of `read` in `setup` for that place of a list, when it lost characters.
void KeepLossy(model::SetupDocument& setup, model::KeptTable table, std::size_t entry,
               std::size_t field, ReadText& read);

// The same for an entry of a keyed table just added under `key.text`: its key and its value.
void KeepLossyKeyed(model::SetupDocument& setup, model::KeptTable table, ReadText& key,
                    ReadText& value);

}  // namespace korvane::setupfile
