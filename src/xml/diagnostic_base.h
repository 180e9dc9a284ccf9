// Root of the document classes: keeps the text of the last failure.
#pragma once

namespace korvane::xml {

class DiagnosticBase {
  public:
    static constexpr unsigned kMessageSize = 512;

    DiagnosticBase() = default;
    DiagnosticBase(const DiagnosticBase&) = delete;
    DiagnosticBase& operator=(const DiagnosticBase&) = delete;
    virtual ~DiagnosticBase() = default;

    // Text of the last failure of a document creation, load or save; empty until the first
    // failure and never cleared by a success.
    const char* Message() const { return message_; }

  protected:
    char message_[kMessageSize] = {};
};

}  // namespace korvane::xml
