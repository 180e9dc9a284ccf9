// Base of the setup document that deals with XML files as files: remembers where the last
// setup file was read from.
#pragma once

#include "xml/diagnostic_base.h"

namespace korvane::xml {

class XmlDocumentHost : public DiagnosticBase {
public:
    static constexpr unsigned kPathSize = 260;

    // Directory and file-name parts of the last setup file read successfully; empty before.
    const char* LoadedDirectory() const { return loadedDirectory_; }
    const char* LoadedFileName() const { return loadedFileName_; }

protected:
    char loadedDirectory_[kPathSize] = {};
    char loadedFileName_[kPathSize] = {};
};

}  // namespace korvane::xml
