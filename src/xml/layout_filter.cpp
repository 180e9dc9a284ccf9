#include "xml/layout_filter.h"

#include "xml/xml_rules.h"

namespace korvane::xml {

void LayoutFilter::OnEvent(const Event& event) {
    if (event.kind == EventKind::Text) {
        if (!inText_) {
            inText_ = true;
            textBlank_ = true;
            textLine_ = event.line;
            textColumn_ = event.column;
        }
        if (textBlank_ && IsBlankText(event.text)) {
            blankText_.append(event.text);
            return;
        }
        if (textBlank_) {
            // Not layout after all: its blank start goes first.
            textBlank_ = false;
            if (!blankText_.empty()) {
                Event start = event;
                start.text = blankText_;
                start.line = textLine_;
                start.column = textColumn_;
                Pass(start);
                blankText_.clear();
            }
        }
        Pass(event);
        return;
    }
    EndText();
    switch (event.kind) {
        case EventKind::StartElement:
            if (!elementChild_.empty() && !elementChild_.back()) {
                elementChild_.back() = 1;
                ReleaseHeld(true);
            }
            next_.OnEvent(event);
            elementChild_.push_back(0);
            return;
        case EventKind::EndElement:
            // No element child came: every held blank text was part of the value.
            ReleaseHeld(false);
            if (!elementChild_.empty()) elementChild_.pop_back();
            next_.OnEvent(event);
            return;
        default:
            Pass(event);
            return;
    }
}

// Ends the text being read: a blank one is layout beside an element child, and undecided
// without one yet.
void LayoutFilter::EndText() {
    if (!inText_) return;
    inText_ = false;
    if (!textBlank_) return;
    const bool layout = !elementChild_.empty() && elementChild_.back();
    if (!layout) {
        Event text;
        text.kind = EventKind::Text;
        text.text = blankText_;
        text.line = textLine_;
        text.column = textColumn_;
        Pass(text, true);
    }
    blankText_.clear();
}

// Hands `event` on, or holds it behind an undecided blank text.
void LayoutFilter::Pass(const Event& event, bool blankText) {
    if (held_.empty() && !blankText) {
        next_.OnEvent(event);
        return;
    }
    held_.push_back(HeldEvent{event.kind, std::string(event.name), std::string(event.text),
                              event.line, event.column, blankText});
}

void LayoutFilter::ReleaseHeld(bool dropBlankTexts) {
    for (const HeldEvent& held : held_) {
        if (dropBlankTexts && held.blankText) continue;
        Event event;
        event.kind = held.kind;
        event.name = held.name;
        event.text = held.text;
        event.line = held.line;
        event.column = held.column;
        next_.OnEvent(event);
    }
    held_.clear();
}

}  // namespace korvane::xml
