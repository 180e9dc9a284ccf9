// Drops layout from a stream of events as a parser hands them out, so that the stream holds
// what a walk of the parsed tree gives (see IsLayoutText).
//
// Whether a blank text is layout depends on whether its parent has an element child, which a
// stream may tell only later: such a text, and what follows it inside the same element, is held
// back until an element child turns it into layout or the element's end makes it a value. In a
// setup file a held text is at most one line's indentation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xml/xml_events.h"

namespace korvane::xml {

class LayoutFilter final : public EventSink {
  public:
    explicit LayoutFilter(EventSink& next) : next_(next) {}

    // Takes the root element's events as parsed: a text may come in any number of Text events
    // in a row, layout included. Entity references do not occur (a document that has them is
    // read through its tree).
    void OnEvent(const Event& event) override;

  private:
    struct HeldEvent {
        EventKind kind;
        std::string name;
        std::string text;
        long line;
        long column;
        bool blankText;  // a whole blank text: layout if an element child follows
    };

    void EndText();
    void Pass(const Event& event, bool blankText = false);
    void ReleaseHeld(bool dropBlankTexts);

    EventSink& next_;
    // For each open element, whether it has an element child yet.
    std::vector<std::uint8_t> elementChild_;
    // The text being read, while it is blank: held until it ends.
    bool inText_ = false;
    bool textBlank_ = true;
    std::string blankText_;
    long textLine_ = 0;
    long textColumn_ = 0;
    // Events of the innermost element from its first undecided blank text on.
    std::vector<HeldEvent> held_;
};

}  // namespace korvane::xml
