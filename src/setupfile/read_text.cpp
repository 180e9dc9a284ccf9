#include "setupfile/read_text.h"

#include <utility>

#include "platform/code_page.h"

namespace korvane::setupfile {

ReadText ReadUtf8Text(std::string utf8, std::size_t maxBytes) {
    ReadText read;
    // Under a UTF-8 code page the text is already what the description holds.
    if (platform::ActiveCodePage() == platform::kCodePageUtf8) {
        read.text = std::move(utf8);
        read.text.resize(platform::WholeCharPrefix(read.text, maxBytes));
        return read;
    }
    read.lossy = !platform::FromUtf8Exactly(utf8, read.text);
    const std::size_t cut = platform::WholeCharPrefix(read.text, maxBytes);
    if (cut < read.text.size()) {
        read.text.resize(cut);
        if (!read.lossy) return read;
        // What the cut left may have lost nothing.
        utf8.resize(platform::Utf8PrefixConvertingWithin(utf8, cut));
        std::string local;
        read.lossy = !platform::FromUtf8Exactly(utf8, local);
    }
    if (read.lossy) read.kept = std::move(utf8);
    return read;
}

void KeepLossy(model::SetupDocument& setup, model::KeptTable table, std::size_t entry,
               std::size_t field, ReadText& read) {
    if (read.lossy) setup.Kept().Keep(table, entry, field, std::move(read.kept));
}

void KeepLossyKeyed(model::SetupDocument& setup, model::KeptTable table, ReadText& key,
                    ReadText& value) {
    if (key.lossy) setup.Kept().Keep(table, key.text, model::kKeyText, std::move(key.kept));
    if (value.lossy) setup.Kept().Keep(table, key.text, model::kValueText, std::move(value.kept));
}

}  // namespace korvane::setupfile
