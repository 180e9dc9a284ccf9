// Selects a code page for the duration of a test, so tests never depend on the locale.
#pragma once

#include "platform/code_page.h"

namespace korvane::testing {

class ScopedCodePage {
  public:
    explicit ScopedCodePage(unsigned codePage) { platform::SelectCodePageForTesting(codePage); }
    ~ScopedCodePage() { platform::SelectCodePageForTesting(0); }
    ScopedCodePage(const ScopedCodePage&) = delete;
    ScopedCodePage& operator=(const ScopedCodePage&) = delete;
};

// The same for a code set selected by name.
class ScopedCodeSet {
  public:
    explicit ScopedCodeSet(const char* name) { platform::SelectCodeSetForTesting(name); }
    ~ScopedCodeSet() { platform::SelectCodeSetForTesting(""); }
    ScopedCodeSet(const ScopedCodeSet&) = delete;
    ScopedCodeSet& operator=(const ScopedCodeSet&) = delete;
};

}  // namespace korvane::testing
