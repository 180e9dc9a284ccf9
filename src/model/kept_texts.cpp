#include "model/kept_texts.h"

#include <utility>

namespace korvane::model {

KeptTable KeptTableOf(CommandKind list) {
    switch (list) {
        case CommandKind::PreExecute:
            return KeptTable::PreExecute;
        case CommandKind::PostExecute:
            return KeptTable::PostExecute;
        case CommandKind::UpdateExecute:
            return KeptTable::UpdateExecute;
        case CommandKind::DeleteExecute:
            break;
    }
    return KeptTable::DeleteExecute;
}

void KeptTexts::Keep(KeptTable table, std::size_t entry, std::size_t field, std::string utf8) {
    Put(At(table, {}, entry, field), std::move(utf8));
}

void KeptTexts::Keep(KeptTable table, std::string_view key, std::size_t field, std::string utf8) {
    Put(At(table, key, 0, field), std::move(utf8));
}

const std::string* KeptTexts::Find(KeptTable table, std::size_t entry, std::size_t field) const {
    return Get(At(table, {}, entry, field));
}

const std::string* KeptTexts::Find(KeptTable table, std::string_view key, std::size_t field) const {
    return Get(At(table, key, 0, field));
}

void KeptTexts::Drop(KeptTable table, std::size_t entry, std::size_t field) {
    const auto found = texts_.find(At(table, {}, entry, field));
    if (found != texts_.end()) texts_.erase(found);
}

void KeptTexts::Put(const PlaceView& place, std::string utf8) {
    const auto found = texts_.find(place);
    if (found != texts_.end()) {
        found->second = std::move(utf8);
        return;
    }
    texts_.emplace(Place{place.table, std::string(place.key), place.entry, place.field},
                   std::move(utf8));
}

const std::string* KeptTexts::Get(const PlaceView& place) const {
    if (texts_.empty()) return nullptr;
    const auto found = texts_.find(place);
    return found != texts_.end() ? &found->second : nullptr;
}

}  // namespace korvane::model
