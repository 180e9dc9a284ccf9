#include "xml/xml_document_host.h"

#include <cstdio>
#include <new>

#include "model/fixed_text.h"
#include "platform/files.h"

namespace korvane::xml {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Position of the last separator after the first character, or npos.
std::size_t LastSeparator(const std::string& path) {
    for (std::size_t at = path.size(); at > 1; --at) {
        if (IsSeparator(path[at - 1])) return at - 1;
    }
    return std::string::npos;
}

}  // namespace

std::string DirectoryOfPath(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(0, separator + 1);
}

std::string FileNameOfPath(const std::string& path) {
    const std::size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(separator + 1);
}

void XmlDocumentHost::SetMessage(const char* text) {
    std::snprintf(message_, sizeof message_, "%s", text);
}

bool XmlDocumentHost::CreateXmlDocument() {
    ReleaseXmlDocument();
    try {
        xmlDocument_ = Document::Create();
    } catch (const std::bad_alloc&) {
        SetMessage("XML Instance create error");
    }
    return xmlDocument_ != nullptr;
}

std::int32_t XmlDocumentHost::LoadXmlFile(const char* path) {
    try {
        return LoadAndParse(path);
    } catch (...) {
        // Out of memory while reading: the description is left as it was.
        ReleaseXmlDocument();
        return 0;
    }
}

std::int32_t XmlDocumentHost::SaveXmlFile(const char* path) {
    bool scratchWritten = false;
    try {
        return BuildAndSave(path, scratchWritten);
    } catch (...) {
        ReleaseXmlDocument();
        if (scratchWritten) platform::RemoveFile(kScratchFile);
        return 0;
    }
}

std::int32_t XmlDocumentHost::LoadAndParse(const char* path) {
    if (path == nullptr || !CreateXmlDocument()) return 0;
    if (!xmlDocument_->Load(path, lastLoadError_)) {
        std::snprintf(message_, sizeof message_, "XML load error %d", lastLoadError_.code);
        ReleaseXmlDocument();
        return 0;
    }
    const std::int32_t result = ParseXml();
    ReleaseXmlDocument();
    if (result != 0) {
        model::CopyToField(loadedDirectory_, DirectoryOfPath(path));
        const std::string fileName = FileNameOfPath(path);
        if (!fileName.empty()) model::CopyToField(loadedFileName_, fileName);
    }
    return result;
}

std::int32_t XmlDocumentHost::BuildAndSave(const char* path, bool& scratchWritten) {
    if (path == nullptr || !CreateXmlDocument()) return 0;
    if (BuildXml() == 0) {
        SetMessage("XML node create error");
        ReleaseXmlDocument();
        return 0;
    }
    // When the caller names the scratch file itself (by any name), it is not written as the
    // scratch file: that would destroy the caller's file before the save is known to succeed.
    const bool targetIsScratch = platform::SameFile(path, kScratchFile);
    if (!targetIsScratch) {
        platform::RemoveFile(kScratchFile);
        scratchWritten = true;
        if (!xmlDocument_->Save(kScratchFile)) {
            SetMessage("XML save error");
            ReleaseXmlDocument();
            return 0;
        }
    }
    // The scratch file holds exactly the document in memory (the DOM accepts only text that XML
    // can carry), so the document is indented as it stands rather than parsed back from disk.
    const bool indented = IndentXmlFile(*xmlDocument_, path);
    // A scratch file that became the caller's file by this save stays.
    if (scratchWritten && !(indented && platform::SameFile(path, kScratchFile))) {
        platform::RemoveFile(kScratchFile);
    }
    ReleaseXmlDocument();
    return indented ? 1 : 0;
}

bool XmlDocumentHost::IndentXmlFile(const Document& source, const std::string& target) {
    auto stylesheet = Document::Create();
    auto result = Document::Create();
    if (stylesheet == nullptr || result == nullptr) return false;
    LoadError ignored;
    if (!stylesheet->Load(kStylesheetFile, ignored)) return false;
    return source.TransformInto(*stylesheet, *result) && result->Save(target);
}

}  // namespace korvane::xml
