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

}  // namespace korvane::testing
