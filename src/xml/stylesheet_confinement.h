// Whether an XSLT stylesheet keeps to what a pretty-printing step needs, judged from its
// markup, for an XSLT processor that cannot be trusted to keep it there itself (the Windows
// XML component: under Wine its switches are ignored, it reads files that document() names and
// writes those that xsl:document names).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace korvane::xml {

// Reads the stylesheet at `path` (relative to the current folder) and hands out its text as
// UTF-8 markup; false when there is none, or it may not be used.
using StylesheetReader = std::function<bool(const std::string& path, std::string& text)>;

// True when the stylesheet whose UTF-8 markup is `text` can neither read nor write files nor
// run code. Refused, wherever they appear:
// - a call of document() or of any extension function (a prefixed name: it may read files or
//   evaluate a text as an expression), in any attribute, whether the attribute holds an
//   expression or an attribute value template, however it is spaced or quoted;
// - an element of the XSLT namespace that XSLT 1.0 does not define (xsl:document writes a
//   file), any extension-element-prefixes (extension elements), any element or attribute of
//   the Microsoft script namespace (msxsl:script) or of the older WD-xsl namespace, xml:base,
//   and a document type declaration;
// - an xsl:import or xsl:include unless its href is a plain relative path (no scheme, drive,
//   absolute path, backslash, escape or non-ASCII character), `read` supplies the stylesheet it
//   names (relative to the folder of the stylesheet that names it), and that stylesheet is
//   confined in turn, at most 8 levels deep.
// Comments, processing instructions and text are markup that cannot call anything.
bool IsConfinedStylesheet(std::string_view text, const StylesheetReader& read);

// The path of the stylesheet that `href` names from a stylesheet in `folder` (empty, or ending
// in '/'), or empty when `href` is not a plain relative path.
std::string ImportedStylesheetPath(std::string_view folder, std::string_view href);

}  // namespace korvane::xml
