// The exports of reserved words and path expansion.
#include <string>

#include "api/boundary.h"
#include "api/process_document.h"
#include "korvane.h"
#include "model/null_text.h"
#include "model/path_expansion.h"
#include "platform/code_page.h"

using korvane::api::CopyOut;
using korvane::api::CountOf;
using korvane::api::Guarded;
using korvane::api::OneCallAtATime;
using korvane::api::ProcessDocument;
using korvane::model::TextOrEmpty;

int32_t KORVANE_CALL SetReservedWord(const char* word, const char* meaning, const char* expansion) {
    const OneCallAtATime serialised;
    auto& document = ProcessDocument();
    return Guarded(
        [&] {
            return document.AddReservedWord(TextOrEmpty(word), TextOrEmpty(meaning),
                                            TextOrEmpty(expansion));
        },
        [&] { return CountOf(document.ReservedWords().size()); });
}

int32_t KORVANE_CALL GetReservedWord(int32_t index, char* word, char* meaning) {
    const OneCallAtATime serialised;
    if (index < 0) return 0;
    // At() may rebuild its index of positions, which allocates; a failure writes nothing.
    return Guarded([&] {
        const auto* entry = ProcessDocument().ReservedWords().At(static_cast<std::size_t>(index));
        if (entry == nullptr) return 0;
        CopyOut(word, entry->first);
        CopyOut(meaning, entry->second.Meaning());
        return 1;
    });
}

int32_t KORVANE_CALL SetupPathToRealPath(const char* setupPath, char* realPath) {
    const OneCallAtATime serialised;
    return Guarded(
        [&] {
            // The result is complete before anything is written, so `realPath` may be the
            // buffer that holds `setupPath`.
            const std::string expanded =
                ProcessDocument().ExpandReservedWords(TextOrEmpty(setupPath));
            CopyOut(realPath, expanded);
            return 1;
        },
        [&] {
            // Out of memory: hand the path back unexpanded, as far as it fits.
            const std::string_view path = TextOrEmpty(setupPath);
            CopyOut(realPath, path.substr(0, korvane::platform::WholeCharPrefix(
                                                 path, korvane::model::kExpansionBufferSize - 1)));
            return 1;
        });
}
