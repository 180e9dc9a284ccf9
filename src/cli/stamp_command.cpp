// korvane stamp: sets the size and version of every FILE entry from its source file under a
// folder, so that a build machine without Windows can finish a setup description.
#include <array>
#include <climits>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/quoted_text.h"
#include "cli/rewrite_guard.h"
#include "cli/setup_files.h"
#include "cli/stamp_source_lookup.h"
#include "model/decimal.h"
#include "model/setup_document.h"
#include "platform/code_page.h"
#include "platform/file_times.h"
#include "platform/file_tree.h"
#include "platform/version_resource.h"
#include "setupfile/display_text.h"
#include "setupfile/grammar.h"
#include "setupfile/record_texts.h"
#include "system/target_file_version.h"

namespace korvane::cli {
namespace {

using model::FileEntry;

struct Tally {
    std::size_t stamped = 0;
    std::size_t versionsChanged = 0;
    std::size_t sizesChanged = 0;
    std::size_t missing = 0;
    std::size_t ambiguous = 0;
    std::size_t tooLarge = 0;
    std::size_t leftAlone = 0;

    // Entries that stop the description from being written (without --keep-going).
    std::size_t Failures() const { return missing + ambiguous + tooLarge; }
};

// Where the grammar puts the values that stamp sets.
constexpr std::size_t kVersionValue = setupfile::PositionOf(setupfile::kFiles, FileEntry::kVersion);
constexpr std::size_t kSizeValue = setupfile::PositionOf(setupfile::kFiles, &FileEntry::fileSize);
// Their names, as the file has them.
constexpr const char* kVersionName = setupfile::kFiles.values[kVersionValue].element;
constexpr const char* kSizeName = setupfile::kFiles.values[kSizeValue].element;

// `entry` with another size and version text; every other value carried over through the text a
// save writes for it, so that each value the grammar declares is kept.
FileEntry WithSizeAndVersion(const FileEntry& entry, std::int32_t fileSize,
                             std::string_view version) {
    constexpr std::size_t kValues = setupfile::kFiles.values.size();
    std::array<std::string, kValues> texts;
    for (std::size_t position = 0; position < kValues; ++position)
        texts[position] = setupfile::ValueText(entry, setupfile::kFiles.values[position]);
    texts[kVersionValue] = std::string(version);
    texts[kSizeValue] = model::FormatDecimal(fileSize);
    std::array<std::string_view, kValues> views;
    for (std::size_t position = 0; position < kValues; ++position)
        views[position] = texts[position];
    return setupfile::RecordFromTexts(setupfile::kFiles, views);
}

// Why a version text is not taken as the entry's version.
const char* WhyNoVersion(const system::FileVersionOutcome& outcome) {
    if (outcome.source == system::VersionSource::TimeStamp && outcome.result == 1)
        return "no version resource (a time stamp is not a version)";
    return "the version resource holds no usable FileVersion";
}

class Stamper {
  public:
    Stamper(const StampOptions& options, model::SetupDocument& setup, std::ostream& report)
        : options_(options), setup_(setup), report_(report), finder_(options.from, options.followLinks) {}

    const Tally& Run() {
        for (std::size_t position = 0; position < setup_.Files().size(); ++position)
            StampEntry(position);
        return tally_;
    }

  private:
    void StampEntry(std::size_t position) {
        const FileEntry& entry = setup_.Files()[position];
        // A path that the code page cannot hold is looked for as the file has it: its '?' names
        // no file.
        const std::string* keptPath =
            setup_.Kept().Find(model::KeptTable::Files, position, FileEntry::kSrcPath);
        // The entry as the file names it, numbered from 0 as the exports number it.
        const std::string label =
            std::string(setupfile::kFiles.item) + " " + std::to_string(position) + " " +
            Quoted(keptPath != nullptr ? setupfile::LocalFormOfUtf8(*keptPath) : entry.SrcPath());
        std::string sourcePath;
        if (const std::string refusal = Refusal(entry.SrcPath(), sourcePath); !refusal.empty()) {
            std::cerr << "korvane: " << label << ": left alone: " << refusal << "\n";
            ++tally_.leftAlone;
            return;
        }
        if (keptPath != nullptr) sourcePath = platform::FileNameOfUtf8(*keptPath);
        const SourceLookup lookup = finder_.Find(sourcePath);
        switch (lookup.kind) {
            case SourceLookup::Kind::Found:
                break;
            case SourceLookup::Kind::Refused:
                std::cerr << "korvane: " << label << ": left alone: " << lookup.detail << "\n";
                ++tally_.leftAlone;
                return;
            case SourceLookup::Kind::Outside:
                // Counted as missing: the tree does not hold it, whatever a link there says.
                std::cerr << "korvane: " << label << ": left alone: " << lookup.detail
                          << " (--follow-links takes it)\n";
                ++tally_.missing;
                return;
            case SourceLookup::Kind::Missing:
                std::cerr << "korvane: " << label << ": no source: " << lookup.detail << "\n";
                ++tally_.missing;
                return;
            case SourceLookup::Kind::Ambiguous:
                std::cerr << "korvane: " << label << ": ambiguous source, matched by";
                for (const std::string& match : lookup.matches) std::cerr << " " << match;
                std::cerr << "\n";
                ++tally_.ambiguous;
                return;
        }
        std::uint64_t size = 0;
        if (!platform::FileSizeOf(lookup.path, size)) {
            std::cerr << "korvane: " << label << ": no source: " << lookup.path
                      << " cannot be read\n";
            ++tally_.missing;
            return;
        }
        if (size > INT32_MAX) {
            std::cerr << "korvane: " << label << ": " << lookup.path << " holds " << size
                      << " bytes; " << kSizeName << " holds at most " << INT32_MAX << "\n";
            ++tally_.tooLarge;
            return;
        }
        Apply(position, label, static_cast<std::int32_t>(size), lookup.path);
    }

    // Why `srcPath` is not looked for; empty when it is, with `sourcePath` the file name it
    // gives.
    std::string Refusal(std::string_view srcPath, std::string& sourcePath) const {
        for (const auto& word : setup_.ReservedWords()) {
            if (!word.first.empty() && srcPath.find(word.first) != std::string_view::npos)
                return "holds the reserved word " + setupfile::DisplayForm(word.first);
        }
        if (!platform::FileNameOfText(srcPath, sourcePath)) return "not a text of the code page";
        return std::string();
    }

    void Apply(std::size_t position, const std::string& label, std::int32_t size,
               const std::string& path) {
        const FileEntry& entry = setup_.Files()[position];
        const system::FileVersionOutcome outcome = system::ReadTargetFileVersion(
            platform::SystemVersionResources(), platform::SystemFileTimes(), path);
        std::string version(entry.Version());
        if (outcome.source == system::VersionSource::VersionResource && outcome.text) {
            version = *outcome.text;
        } else if (options_.verbose) {
            report_ << label << ": " << kVersionName << " left as it was: " << WhyNoVersion(outcome)
                    << "\n";
        }
        ++tally_.stamped;
        const bool sizeChanged = size != entry.fileSize;
        const bool versionChanged = version != entry.Version();
        if (!sizeChanged && !versionChanged) return;
        if (options_.dryRun || options_.verbose) {
            report_ << label << ":";
            // As diff shows a change: texts quoted, so that an empty one shows.
            if (versionChanged)
                report_ << " " << kVersionName << " " << Quoted(entry.Version()) << " -> "
                        << Quoted(version);
            if (sizeChanged)
                report_ << (versionChanged ? "," : "") << " " << kSizeName << " " << entry.fileSize
                        << " -> " << size;
            report_ << "\n";
        }
        tally_.versionsChanged += versionChanged;
        tally_.sizesChanged += sizeChanged;
        setup_.ReplaceFile(position, WithSizeAndVersion(entry, size, version));
    }

    const StampOptions& options_;
    model::SetupDocument& setup_;
    std::ostream& report_;
    SourceFinder finder_;
    Tally tally_;
};

void PrintSummary(const Tally& tally, std::size_t entries, std::ostream& report) {
    report << "stamped " << tally.stamped << " of " << entries
           << " entries: " << tally.versionsChanged << " versions changed, " << tally.sizesChanged
           << " sizes changed, " << tally.missing << " missing, " << tally.ambiguous
           << " ambiguous, " << tally.tooLarge << " too large, " << tally.leftAlone
           << " left alone\n";
}

}  // namespace

int Stamp(const StampOptions& options) {
    std::string reason;
    model::SetupDocument setup;
    if (!LoadSetupFileExplained(options.file, setup, reason)) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    if (!LoadKeepsAllOrForced(options.file, options.force, "stamping")) return kFailure;
    if (platform::KindOf(options.from) != platform::PathKind::Folder) {
        std::cerr << "korvane: " << options.from << ": not a folder\n";
        return kFailure;
    }
    // With the description on standard output, what the command says goes to standard error.
    std::ostream& report = options.output == "-" ? std::cerr : std::cout;
    Stamper stamper(options, setup, report);
    const Tally& tally = stamper.Run();
    PrintSummary(tally, setup.Files().size(), report);

    const bool failed = tally.Failures() > 0;
    if (options.dryRun || (failed && !options.keepGoing)) {
        report << "nothing written\n";
        return failed ? kFailure : kSuccess;
    }
    const bool unchanged = tally.versionsChanged == 0 && tally.sizesChanged == 0;
    if (options.output.empty() && unchanged) return failed ? kFailure : kSuccess;
    const bool saved =
        options.output == "-"
            ? SaveSetupFileToStandardOutput(setup, reason)
            : SaveSetupFileExplained(setup, options.output.empty() ? options.file : options.output,
                                     reason);
    if (!saved) {
        std::cerr << "korvane: " << reason << "\n";
        return kFailure;
    }
    return failed ? kFailure : kSuccess;
}

}  // namespace korvane::cli
