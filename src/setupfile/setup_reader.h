// Fills the description in memory from the events of a setup file (xml/xml_events.h).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>

#include "model/setup_document.h"
#include "xml/xml_events.h"

namespace korvane::setupfile {

// Reads the ten sections of a setup file into `setup`, which should be empty, from the events
// of its root element. The root's name is not checked; each section is the first child of the
// root with its name (a processing instruction or entity reference of that name hides the
// section), the other children are ignored. Every element child of a section is one item,
// whatever its name; other children are skipped. Within an item each value is the first child
// with its name (an element's text, an entity reference's replacement, nothing for a
// processing instruction); a missing value reads as the empty text, or 0. A value's text is all
// text beneath it, across comments, CDATA sections and nested elements; texts longer than the
// reader keeps are cut at the last whole character.
//
// What it holds while it reads is the item being read, each value's text cut at what a load
// keeps, and which sections it has seen.
class SetupReader final : public xml::EventSink {
  public:
    explicit SetupReader(model::SetupDocument& setup) : setup_(setup) {}

    void OnEvent(const xml::Event& event) override;

    // True when a value expanded beyond what can be read (entity expansion): the description
    // then means nothing.
    bool failed() const { return failed_; }

    // The most values an item has.
    static constexpr std::size_t kMaxValues = 13;

    // The UTF-8 text of one value as far as a load keeps it.
    struct ValueText {
        std::string utf8;
        std::size_t maxBytes = 0;
        bool full = false;  // nothing more fits
    };

  private:
    void StartElement(std::string_view name);
    void EndElement();
    void NamedChild(std::string_view name, bool element, const xml::EntityExpansion* expansion);
    void Append(std::string_view text);
    void AppendExpansion(ValueText& value, const xml::EntityExpansion& expansion);
    void StartItem(std::string_view name);
    void FinishItem();

    model::SetupDocument& setup_;
    bool failed_ = false;
    int depth_ = 0;  // open elements; the root's depth is 1
    std::bitset<16> sectionsSeen_;
    int section_ = -1;  // the section being read, or -1
    bool inItem_ = false;
    std::string itemName_;
    std::array<ValueText, kMaxValues> values_;
    std::bitset<kMaxValues> valuesSeen_;
    std::size_t nextValue_ = 0;        // the value expected next
    ValueText* collecting_ = nullptr;  // the value whose text is being read
    int collectingDepth_ = 0;          // the depth of the element that holds it
    std::string expansion_;
};

}  // namespace korvane::setupfile
