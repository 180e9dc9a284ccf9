// Texts of a setup file as the command prints them for people to read: control characters,
// which a terminal would act on (a carriage return hides what came before it on the line),
// and bidirectional overrides, which reorder what follows them, are shown as escapes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::setupfile {

// `text` (in the active code page) with every C0 control (tab, line feed and carriage return
// included) and DEL written as "\xHH"; under UTF-8 also every C1 control (U+0080 to U+009F)
// and bidirectional override or isolate (U+202A to U+202E, U+2066 to U+2069) as "\u{HHHH}".
// The text is walked by whole characters, so a trail byte is never taken for a control.
std::string DisplayForm(std::string_view text);

// UTF-8 `text` in the active code page, with each character that the code page lacks written
// as "\u{HHHH}" rather than '?': how the command shows a file's own text that a load kept.
std::string LocalFormOfUtf8(std::string_view text);

// The escapes of the characters of `text` that DisplayForm escapes, tab aside (a tab only
// moves the text on, it hides nothing), each once, in order of first appearance.
std::vector<std::string> DisguisingCharacters(std::string_view text);

}  // namespace korvane::setupfile
