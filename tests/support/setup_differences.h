// Where two setup descriptions differ, table by table and field by field: every text and number
// of every table, and the UTF-8 texts each keeps for what the code page lacks. Texts are shown
// quoted so that no separator makes two different descriptions look alike.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "model/setup_document.h"

namespace korvane::testing {

class SetupDifferences {
  public:
    // The first difference between `a` and `b` in words, or an empty text when they are the same.
    static std::string Between(const model::SetupDocument& a, const model::SetupDocument& b) {
        SetupDifferences differences(a, b);
        differences.Compare();
        return differences.found_;
    }

  private:
    SetupDifferences(const model::SetupDocument& a, const model::SetupDocument& b) : a_(a), b_(b) {}

    static std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }
    static std::string Quoted(const std::string* text) {
        return text == nullptr ? std::string("none") : Quoted(*text);
    }

    bool Differ(const std::string& where, std::string_view a, std::string_view b) {
        if (found_.empty() && a != b) found_ = where + ": " + Quoted(a) + " / " + Quoted(b);
        return !found_.empty();
    }
    bool Differ(const std::string& where, long long a, long long b) {
        if (found_.empty() && a != b)
            found_ = where + ": " + std::to_string(a) + " / " + std::to_string(b);
        return !found_.empty();
    }
    bool Differ(const std::string& where, const std::string* a, const std::string* b) {
        const bool same = a == nullptr ? b == nullptr : b != nullptr && *a == *b;
        if (found_.empty() && !same) found_ = where + ": " + Quoted(a) + " / " + Quoted(b);
        return !found_.empty();
    }

    void Compare() {
        CompareKeyed();
        CompareRecords();
        CompareCommands();
        if (found_.empty()) CompareKeptCounts();
    }

    void CompareKeyed() {
        const auto& aWords = a_.ReservedWords();
        const auto& bWords = b_.ReservedWords();
        if (Differ("reserved words", aWords.size(), bWords.size())) return;
        for (auto a = aWords.begin(), b = bWords.begin(); a != aWords.end(); ++a, ++b) {
            const std::string where = "reserved word " + Quoted(a->first);
            if (Differ(where, a->first, b->first) ||
                Differ(where + " meaning", a->second.Meaning(), b->second.Meaning()) ||
                Differ(where + " expansion", a->second.Expansion(), b->second.Expansion()) ||
                DifferKeyed(model::KeptTable::ReservedWords, a->first, where))
                return;
        }
        const auto& aFields = a_.ElementFields();
        const auto& bFields = b_.ElementFields();
        if (Differ("config fields", aFields.size(), bFields.size())) return;
        for (auto a = aFields.begin(), b = bFields.begin(); a != aFields.end(); ++a, ++b) {
            const std::string where = "config field " + Quoted(a->first);
            if (Differ(where, a->first, b->first) ||
                Differ(where + " value", a->second, b->second) ||
                DifferKeyed(model::KeptTable::ElementFields, a->first, where))
                return;
        }
    }

    bool DifferKeyed(model::KeptTable table, std::string_view key, const std::string& where) {
        for (const std::size_t field : {model::kKeyText, model::kValueText}) {
            const std::string* a = a_.Kept().Find(table, key, field);
            const std::string* b = b_.Kept().Find(table, key, field);
            keptA_ += a != nullptr;
            keptB_ += b != nullptr;
            if (Differ(where + " kept text " + std::to_string(field), a, b)) return true;
        }
        return false;
    }

    bool DifferKept(model::KeptTable table, std::size_t entry, std::size_t field,
                    const std::string& where) {
        const std::string* a = a_.Kept().Find(table, entry, field);
        const std::string* b = b_.Kept().Find(table, entry, field);
        keptA_ += a != nullptr;
        keptB_ += b != nullptr;
        return Differ(where + " kept text " + std::to_string(field), a, b);
    }

    template <typename Record, typename Numbers>
    bool DifferRecords(const char* name, const model::RecordList<Record>& aList,
                       const model::RecordList<Record>& bList, model::KeptTable table,
                       Numbers numbers) {
        if (Differ(std::string(name) + " count", aList.size(), bList.size())) return true;
        for (std::size_t i = 0; i < aList.size(); ++i) {
            const std::string where = std::string(name) + " " + std::to_string(i);
            for (std::size_t t = 0; t < Record::kTextCount; ++t) {
                if (Differ(where + " text " + std::to_string(t), aList[i].texts[t],
                           bList[i].texts[t]) ||
                    DifferKept(table, i, t, where))
                    return true;
            }
            const auto aNumbers = numbers(aList[i]);
            const auto bNumbers = numbers(bList[i]);
            for (std::size_t n = 0; n < aNumbers.size(); ++n) {
                if (Differ(where + " number " + std::to_string(n), aNumbers[n], bNumbers[n]))
                    return true;
            }
        }
        return false;
    }

    void CompareRecords() {
        if (!found_.empty()) return;
        const auto fileNumbers = [](const model::FileEntry& f) {
            return std::array<long long, 6>{f.iconIndex, f.selfReg,  f.overwrite,
                                            f.fileSize,  f.realTime, f.reboot};
        };
        const auto registryNumbers = [](const model::RegistryEntry& r) {
            return std::array<long long, 1>{r.action};
        };
        const auto noNumbers = [](const model::KillProcessEntry&) {
            return std::array<long long, 0>{};
        };
        if (DifferRecords("file", a_.Files(), b_.Files(), model::KeptTable::Files, fileNumbers) ||
            DifferRecords("registry", a_.Registries(), b_.Registries(),
                          model::KeptTable::Registries, registryNumbers) ||
            DifferRecords("prekill", a_.PreKills(), b_.PreKills(), model::KeptTable::PreKills,
                          noNumbers) ||
            DifferRecords("upkill", a_.UpKills(), b_.UpKills(), model::KeptTable::UpKills,
                          noNumbers))
            return;
    }

    void CompareCommands() {
        if (!found_.empty()) return;
        const std::pair<const char*, model::CommandKind> lists[] = {
            {"pre-execute", model::CommandKind::PreExecute},
            {"post-execute", model::CommandKind::PostExecute},
            {"update-execute", model::CommandKind::UpdateExecute},
            {"delete-execute", model::CommandKind::DeleteExecute}};
        for (const auto& list : lists) {
            const model::CommandList& a = a_.Commands(list.second);
            const model::CommandList& b = b_.Commands(list.second);
            if (Differ(std::string(list.first) + " count", a.size(), b.size())) return;
            for (std::size_t i = 0; i < a.size(); ++i) {
                const std::string where = std::string(list.first) + " " + std::to_string(i);
                if (Differ(where, a[i], b[i]) ||
                    DifferKept(model::KeptTableOf(list.second), i, 0, where))
                    return;
            }
        }
    }

    // Every kept text was compared above unless one lies where no entry is.
    void CompareKeptCounts() {
        if (Differ("kept texts of the first", a_.Kept().size(), keptA_)) return;
        Differ("kept texts of the second", b_.Kept().size(), keptB_);
    }

    const model::SetupDocument& a_;
    const model::SetupDocument& b_;
    std::string found_;
    std::size_t keptA_ = 0;
    std::size_t keptB_ = 0;
};

}  // namespace korvane::testing
