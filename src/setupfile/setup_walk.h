// Follows the events of a setup file (xml/xml_events.h) as a load reads them, and tells a
// handler what each node is to the load: which child of the root is a section, which child of
// a section an item, which child of an item a value, and the text of every value. The reader
// fills the description from it and the check reports from it, so that both agree on every
// rule of leniency:
// - the root's name is not checked;
// - a section is the first child of the root with its name; a processing instruction or
//   entity reference of that name hides the section; other children are ignored;
// - every element child of a section is one item, whatever its name; other children are
//   skipped;
// - within an item each value is the first child with its name (an element's text, an entity
//   reference's replacement, nothing for a processing instruction); values are only direct
//   children; in CONFIG and the command lists the item itself is the value;
// - a value's text is all text beneath it, across comments, CDATA sections and nested
//   elements, kept up to a bound in UTF-8 that its capacity sets (layout is never in the
//   stream).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_events.h"

namespace korvane::setupfile {

// What a child of the root is to a load.
enum class RootChild {
    Section,        // the section `section` is read from it
    HidesSection,   // not an element, but the first of its name: `section` is not read
    SecondSection,  // the section `section` was read from an earlier child
    Element,        // an element that names no section
    Other,          // text, a comment, or an instruction or reference that names no section
};

// What a child of an item with named values is to a load.
enum class ItemChild {
    Value,        // the value `value` is read from it
    HidesValue,   // not an element, but the first of its name: `value` reads as its text
    SecondValue,  // the value `value` was read from an earlier child
    Element,      // an element that names no value
    Other,        // text, a comment, or an instruction or reference that names no value
};

// The text of one value of the item being read.
struct WalkedValue {
    bool found = false;  // some child of the item was the value (or the item is itself)
    long line = 0;       // where that child is
    std::string utf8;    // its text, up to `maxBytes`, cut at a whole character
    std::size_t maxBytes = 0;
    bool full = false;  // the text went on beyond `maxBytes`
};

inline constexpr std::size_t kMaxItemValues = 13;

// An item once it has ended.
struct WalkedItem {
    std::size_t section;
    std::string_view name;
    long line;
    // In the order of the section's values, or the item's own text first where the item is
    // itself the value.
    std::array<WalkedValue, kMaxItemValues>& values;
};

class SetupWalkHandler {
  public:
    virtual void Root(const xml::Event&) {}
    virtual void RootChildSeen(const xml::Event&, RootChild, std::size_t /*section*/) {}
    // A child of a section that is not an element (and so no item).
    virtual void SkippedInSection(const xml::Event&, std::size_t /*section*/) {}
    virtual void ItemStart(const xml::Event&, std::size_t /*section*/) {}
    virtual void ItemChildSeen(const xml::Event&, ItemChild, std::size_t /*value*/) {}
    // An element or comment directly inside a value: only the text beneath it counts.
    virtual void MarkupInValue(const xml::Event&) {}
    virtual void ItemEnd(WalkedItem& item) = 0;

  protected:
    ~SetupWalkHandler() = default;
};

// The sections in the order ForEachSection visits them; a section's position is its index.
std::string_view SectionName(std::size_t section);
// The names of a section's values in the order the grammar declares them; empty where the
// item itself is the value.
const std::vector<std::string_view>& ValueNames(std::size_t section);
// How many bytes a load keeps of each value, terminator included, or of the item's own text.
const std::vector<std::size_t>& ValueCapacities(std::size_t section);

class SetupWalk final : public xml::EventSink {
  public:
    // A value's text is kept up to the UTF-8 length that always fills its capacity in the code
    // page, plus `extraBytes` (a check keeps a little more, to tell that a text was cut).
    explicit SetupWalk(SetupWalkHandler& handler, std::size_t extraBytes = 0)
        : handler_(handler), extraBytes_(extraBytes) {}

    void OnEvent(const xml::Event& event) override;

    // True when a value expanded beyond what can be read (entity expansion).
    bool failed() const { return failed_; }

  private:
    void StartElement(const xml::Event& event);
    void EndElement();
    void RootChildNamed(const xml::Event& event, bool element);
    void ItemChildNamed(const xml::Event& event, bool element);
    void Append(std::string_view text);
    void AppendExpansion(WalkedValue& value, const xml::EntityExpansion& expansion);
    void StartItem(const xml::Event& event);

    SetupWalkHandler& handler_;
    std::size_t extraBytes_;
    bool failed_ = false;
    bool afterText_ = false;
    int depth_ = 0;  // open elements; the root's depth is 1
    std::bitset<16> sectionsSeen_;
    int section_ = -1;  // the section being read, or -1
    bool inItem_ = false;
    std::string itemName_;
    long itemLine_ = 0;
    std::array<WalkedValue, kMaxItemValues> values_;
    std::bitset<kMaxItemValues> valuesSeen_;
    std::size_t nextValue_ = 0;          // the value expected next
    WalkedValue* collecting_ = nullptr;  // the value whose text is being read
    int collectingDepth_ = 0;            // the depth of the element that holds it
    std::string expansion_;
};

}  // namespace korvane::setupfile
