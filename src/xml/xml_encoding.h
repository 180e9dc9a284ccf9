// From the UTF-8 text of a serialised document to the bytes of its file, the same for every
// DOM backend: the backend serialises to UTF-8, this names and applies the file's encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::xml {

// The bytes of an XML file in `encoding` holding the document whose UTF-8 text is `text`. The
// XML declaration is made to name `encoding` (one is added when the text has none and the
// encoding is not UTF-8); every character that the encoding lacks is written as a character
// reference (&#N;), so nothing is lost. Element names must already be writable in it: a
// reference there would not be markup. False when the platform cannot convert into `encoding`
// or `text` is not well-formed UTF-8.
bool EncodeXmlText(std::string_view text, const std::string& encoding, std::string& bytes);

// Appends to `bytes` a piece of a document's UTF-8 `text` that follows its declaration, encoded
// as EncodeXmlText encodes it: a document written in pieces, each ending at a whole character,
// takes the same bytes as when encoded whole. Only for an encoding that writes ASCII as it is
// (false for another, as for one the platform cannot convert into).
bool AppendEncodedXmlPiece(std::string_view text, const std::string& encoding, std::string& bytes);

// How many bytes, as UTF-8, the well-formed UTF-8 `text` of a text node takes in a file in
// `encoding`: the measure the markup scanner applies when the file is loaded. It counts the
// text as written: '&', '<', '>' and CR escaped (&amp; &lt; &gt; &#13;), and each character
// that the encoding lacks as its character reference.
std::size_t TextLengthInFile(std::string_view text, const std::string& encoding);

}  // namespace korvane::xml
