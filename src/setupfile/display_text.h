// Texts of a setup file as the command prints them for people to read: control characters,
// which a terminal would act on (a carriage return hides what came before it on the line),
// and bidirectional overrides, which reorder what follows them, are shown as escapes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::setupfile {

// `text` (in the active code page) with every C0 control (tab, line feed and carriage return
// included), DEL, and each one-byte character from 80 to 9F that the code page decodes to a C1
// control or to nothing (as ISO-8859-1 does 9B, 9C and 9D) written as "\xHH"; under UTF-8 also
// every C1 control (U+0080 to U+009F) and the characters that hide or reorder text as
// "\u{HHHH}": the Arabic letter mark U+061C, the Mongolian vowel separator U+180E, the zero-width
// characters and direction marks U+200B to U+200F, the line and paragraph separators U+2028 and
// U+2029, the bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066 to
// U+2069), the word joiner and invisible operators U+2060 to U+2064 (with the rest of that block,
// to U+206F), U+FEFF, the interlinear annotation marks U+FFF9 to U+FFFB, and the tags U+E0000 to
// U+E007F. The text is walked by whole characters, so a lead or trail byte of a double-byte
// character is never taken for a control.
std::string DisplayForm(std::string_view text);

// UTF-8 `text` in the active code page, with each character that the code page lacks written
// as "\u{HHHH}" rather than '?': how the command shows a file's own text that a load kept.
std::string LocalFormOfUtf8(std::string_view text);

// A name from the file (UTF-8) as a message shows it: in the active code page, escaped as
// DisplayForm escapes texts, since XML names may hold U+061C, U+180E, U+200C and U+200D.
std::string DisplayFormOfUtf8(std::string_view utf8);

// The escapes of the characters of `text` that DisplayForm escapes, tab aside (a tab only
// moves the text on, it hides nothing), each once, in order of first appearance.
std::vector<std::string> DisguisingCharacters(std::string_view text);

}  // namespace korvane::setupfile
