// How many columns of a terminal a text takes, so that tables of texts line up: characters
// that East Asian scripts set full-width (Unicode's East Asian Width W and F, as Hangul and
// ideographs) take two, combining marks and other characters that join the one before them
// none, every other character one.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvane::setupfile {

// Columns the character `codePoint` takes: 0, 1 or 2.
int CodePointWidth(char32_t codePoint);

// Columns `text` (in the active code page) takes on a terminal. Under a code page other than
// UTF-8 each character is converted to find which it is, and an ambiguous character (East
// Asian Width A) that takes two bytes there takes two columns, as in East Asian terminals; a
// sequence the code page does not hold takes a column per byte.
std::size_t DisplayWidth(std::string_view text);

}  // namespace korvane::setupfile
