// Reads the version resource out of a Windows executable or library (a PE32 or PE32+ image),
// without Windows: the reader that lets every system read the version text of Windows files.
//
// The image is untrusted. Every offset and length in it is checked against the structure that
// holds it and against the end of the file, every address is mapped through a section before it
// is read, and every walk has a fixed number of steps, so a crafted file can neither make the
// reader read outside the file nor keep it busy.
#pragma once

#include <optional>
#include <vector>

#include "peversion/byte_source.h"

namespace korvane::peversion {

// The version resource (resource type 16, name 1, its first language) of the PE image in
// `image`: the bytes of its VS_VERSIONINFO block, as many as the block's own length says (at
// most 65535). Nothing when the image is not a PE image, has no version resource, or its
// resource cannot be read.
std::optional<std::vector<unsigned char>> ReadPeVersionResource(const ByteSource& image);

}  // namespace korvane::peversion
