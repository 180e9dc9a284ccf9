#include "setupfile/setup_walk.h"

#include <vector>

#include "setupfile/grammar.h"
#include "xml/load_bounds.h"

namespace korvane::setupfile {
namespace {

struct SectionShape {
    std::string_view name;
    std::vector<std::string_view> values;
    std::vector<std::size_t> capacities;  // one per value, or the item's own
};

struct ShapeOf {
    SectionShape operator()(const ReserveSection& rule) const {
        return {rule.section,
                {rule.wordElement, rule.meaningElement},
                {rule.wordCapacity, rule.meaningCapacity}};
    }
    SectionShape operator()(const ConfigSection& rule) const {
        return {rule.section, {}, {rule.valueCapacity}};
    }
    SectionShape operator()(const CommandSection& rule) const {
        return {rule.section, {}, {kCommandCapacity}};
    }
    template <typename Record, std::size_t N>
    SectionShape operator()(const RecordSection<Record, N>& rule) const {
        static_assert(N <= kMaxItemValues);
        SectionShape shape{rule.section, {}, {}};
        for (const ValueRule<Record>& value : rule.values) {
            shape.values.push_back(value.element);
            shape.capacities.push_back(value.capacity);
        }
        return shape;
    }
};

const std::vector<SectionShape>& SectionShapes() {
    static const std::vector<SectionShape> shapes = MapSections<SectionShape>(ShapeOf());
    return shapes;
}

// A character of the code page takes at most four bytes of UTF-8 (and a character it lacks
// becomes one '?'), so this much UTF-8 always fills the capacity.
constexpr std::size_t Utf8Bound(std::size_t capacity) {
    return 4 * (capacity - 1);
}

}  // namespace

std::string_view SectionName(std::size_t section) {
    return SectionShapes()[section].name;
}

const std::vector<std::string_view>& ValueNames(std::size_t section) {
    return SectionShapes()[section].values;
}

const std::vector<std::size_t>& ValueCapacities(std::size_t section) {
    return SectionShapes()[section].capacities;
}

void SetupWalk::OnEvent(const xml::Event& event) {
    if (failed_) return;
    // One text may come in several events; only its first is a node of its own.
    const bool textGoesOn = event.kind == xml::EventKind::Text && afterText_;
    afterText_ = event.kind == xml::EventKind::Text;
    switch (event.kind) {
        case xml::EventKind::StartElement:
            StartElement(event);
            return;
        case xml::EventKind::EndElement:
            EndElement();
            return;
        case xml::EventKind::Text:
        case xml::EventKind::CData:
            if (collecting_ != nullptr) {
                Append(event.text);
                return;
            }
            if (textGoesOn) return;
            break;
        case xml::EventKind::Comment:
        case xml::EventKind::ProcessingInstruction:
        case xml::EventKind::EntityReference:
            break;
    }
    // A node that is no element, as a child of the root, a section, an item or a value.
    if (depth_ == 1) {
        RootChildNamed(event, false);
    } else if (depth_ == 2 && section_ >= 0) {
        handler_.SkippedInSection(event, static_cast<std::size_t>(section_));
    } else if (depth_ == 3 && inItem_ && collecting_ == nullptr) {
        ItemChildNamed(event, false);
    } else if (collecting_ != nullptr) {
        if (event.kind == xml::EventKind::Comment && depth_ == collectingDepth_)
            handler_.MarkupInValue(event);
        if (event.kind == xml::EventKind::EntityReference && event.expansion != nullptr)
            AppendExpansion(*collecting_, *event.expansion);
    }
}

void SetupWalk::StartElement(const xml::Event& event) {
    const int parent = depth_++;
    if (parent == 0) {
        handler_.Root(event);
    } else if (parent == 1) {
        RootChildNamed(event, true);
    } else if (parent == 2 && section_ >= 0) {
        StartItem(event);
    } else if (parent == 3 && inItem_ && collecting_ == nullptr) {
        ItemChildNamed(event, true);
    } else if (collecting_ != nullptr && parent == collectingDepth_) {
        handler_.MarkupInValue(event);
    }
}

void SetupWalk::EndElement() {
    if (collecting_ != nullptr && depth_ == collectingDepth_) collecting_ = nullptr;
    if (depth_ == 3 && inItem_) {
        inItem_ = false;
        WalkedItem item{static_cast<std::size_t>(section_), itemName_, itemLine_, values_};
        handler_.ItemEnd(item);
    }
    if (depth_ == 2) section_ = -1;
    --depth_;
}

// A child of the root: the first of a section's name decides the section, whether or not it
// is an element.
void SetupWalk::RootChildNamed(const xml::Event& event, bool element) {
    const std::vector<SectionShape>& shapes = SectionShapes();
    const bool named = element || event.kind == xml::EventKind::ProcessingInstruction ||
                       event.kind == xml::EventKind::EntityReference;
    for (std::size_t i = 0; named && i < shapes.size(); ++i) {
        if (event.name != shapes[i].name) continue;
        if (sectionsSeen_[i]) {
            handler_.RootChildSeen(event, RootChild::SecondSection, i);
            return;
        }
        sectionsSeen_[i] = true;
        if (element) section_ = static_cast<int>(i);
        handler_.RootChildSeen(event, element ? RootChild::Section : RootChild::HidesSection, i);
        return;
    }
    handler_.RootChildSeen(event, element ? RootChild::Element : RootChild::Other, 0);
}

// A child of an item with named values: the first of a value's name is the value, whether or
// not it is an element.
void SetupWalk::ItemChildNamed(const xml::Event& event, bool element) {
    const std::vector<std::string_view>& names = SectionShapes()[section_].values;
    const bool named = element || event.kind == xml::EventKind::ProcessingInstruction ||
                       event.kind == xml::EventKind::EntityReference;
    // Values usually come in the order a save writes them: the one after the previous value is
    // tried first.
    for (std::size_t n = 0; named && n < names.size(); ++n) {
        const std::size_t i = (nextValue_ + n) % names.size();
        if (event.name != names[i]) continue;
        if (valuesSeen_[i]) {
            handler_.ItemChildSeen(event, ItemChild::SecondValue, i);
            return;
        }
        valuesSeen_[i] = true;
        nextValue_ = i + 1;
        WalkedValue& value = values_[i];
        value.found = true;
        value.line = event.line;
        if (element) {
            collecting_ = &value;
            collectingDepth_ = depth_;
        } else if (event.expansion != nullptr) {
            AppendExpansion(value, *event.expansion);
        }
        handler_.ItemChildSeen(event, element ? ItemChild::Value : ItemChild::HidesValue, i);
        return;
    }
    handler_.ItemChildSeen(event, element ? ItemChild::Element : ItemChild::Other, 0);
}

void SetupWalk::Append(std::string_view text) {
    if (collecting_ == nullptr || collecting_->full) return;
    if (!xml::AppendWithin(collecting_->utf8, text, collecting_->maxBytes))
        collecting_->full = true;
}

// The replacement is asked for a little more than fits, so that a cut shows: a character that
// does not fit ends within four bytes past the room left.
void SetupWalk::AppendExpansion(WalkedValue& value, const xml::EntityExpansion& expansion) {
    if (value.full) return;
    const std::size_t room = value.maxBytes - value.utf8.size();
    if (!expansion.Text(room + 4, expansion_)) {
        failed_ = true;
        return;
    }
    if (!xml::AppendWithin(value.utf8, expansion_, value.maxBytes)) value.full = true;
}

void SetupWalk::StartItem(const xml::Event& event) {
    const SectionShape& shape = SectionShapes()[static_cast<std::size_t>(section_)];
    inItem_ = true;
    itemName_.assign(event.name);
    itemLine_ = event.line;
    valuesSeen_.reset();
    nextValue_ = 0;
    for (std::size_t i = 0; i < shape.capacities.size(); ++i) {
        WalkedValue& value = values_[i];
        value.found = false;
        value.line = 0;
        value.utf8.clear();
        value.maxBytes = Utf8Bound(shape.capacities[i]) + extraBytes_;
        value.full = false;
    }
    handler_.ItemStart(event, static_cast<std::size_t>(section_));
    // An item without named values is itself the value.
    if (shape.values.empty()) {
        values_[0].found = true;
        values_[0].line = event.line;
        collecting_ = &values_[0];
        collectingDepth_ = depth_;
    }
}

}  // namespace korvane::setupfile
