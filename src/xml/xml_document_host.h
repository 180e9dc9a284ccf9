// Base of the setup document that deals with XML files as files: loads a file into a fresh
// DOM document and hands it to ParseXml, builds a fresh document with BuildXml and saves it
// pretty-printed, and remembers the last failure and where the last setup file came from.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xml/diagnostic_base.h"
#include "xml/dom.h"

namespace korvane::xml {

class XmlDocumentHost : public DiagnosticBase {
  public:
    static constexpr unsigned kPathSize = 260;
    // Relative names: files in the current directory at the time of the save.
    static constexpr const char* kScratchFile = "temp.xml";
    static constexpr const char* kStylesheetFile = "indent.xsl";

    XmlDocumentHost() = default;
    ~XmlDocumentHost() override = default;

    // Replaces what ParseXml fills with the contents of the file at `path`. Returns ParseXml's
    // result, or 0 when the file cannot be read or is not well-formed XML (then "XML load error
    // %d" is the message and nothing was changed). A null path gives 0.
    std::int32_t LoadXmlFile(const char* path);

    // Writes what BuildXml produces to `path`, pretty-printed through indent.xsl, by way of the
    // scratch file temp.xml, which is removed before and after. Returns 1, or 0 on failure: then
    // the file at `path` is as it was and no scratch file is left behind. `path` is a plain file
    // name; a link there is followed and the file keeps its identity (Document::Save). When
    // `path` is the scratch file itself (by any name), it is not written as the scratch file, so
    // a failed save leaves it as it was too.
    std::int32_t SaveXmlFile(const char* path);

    // Directory and file-name parts of the last setup file read successfully; empty before.
    const char* LoadedDirectory() const { return loadedDirectory_; }
    const char* LoadedFileName() const { return loadedFileName_; }

    // Why the last failed load failed, in more detail than the message.
    const LoadError& LastLoadError() const { return lastLoadError_; }

  protected:
    // Fills the tree of the document held; 1 on success, 0 when a node could not be made.
    virtual std::int32_t BuildXml() { return 1; }
    // Reads the document held; 1 when it was read whole.
    virtual std::int32_t ParseXml() { return 1; }

    // The document of the load or save in progress; null between operations.
    Document* HeldDocument() const { return xmlDocument_.get(); }

  private:
    std::int32_t LoadAndParse(const char* path);
    std::int32_t BuildAndSave(const char* path, bool& scratchWritten);
    bool CreateXmlDocument();
    void ReleaseXmlDocument() { xmlDocument_.reset(); }
    // Writes the pretty-printed form of `source` to `target` through indent.xsl; false when
    // that failed and `target` was left as it was.
    static bool IndentXmlFile(const Document& source, const std::string& target);
    void SetMessage(const char* text);

    std::unique_ptr<Document> xmlDocument_;
    char loadedDirectory_[kPathSize] = {};
    char loadedFileName_[kPathSize] = {};
    LoadError lastLoadError_;
};

// The directory part of `path`, ending in its last separator; the whole path when it has none.
// A separator in the first character is not one.
std::string DirectoryOfPath(const std::string& path);

// The part of `path` after its last separator; empty when it has none. Separators are '\\'
// and '/'.
std::string FileNameOfPath(const std::string& path);

}  // namespace korvane::xml
