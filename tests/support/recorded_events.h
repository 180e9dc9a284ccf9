// The events a source hands out, recorded in a form that two sources can be compared in: a text
// handed out in pieces is one event, and so are adjacent CDATA sections (a tree holds them as
// one node); an entity reference is recorded with its replacement text.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "xml/xml_events.h"
#include "xml/xml_rules.h"

namespace korvane::testing {

struct RecordedEvent {
    xml::EventKind kind;
    std::string name;
    std::string text;  // an entity reference's replacement, or "(beyond)" when it cannot be read

    bool operator==(const RecordedEvent& other) const {
        return kind == other.kind && name == other.name && text == other.text;
    }
    bool operator!=(const RecordedEvent& other) const { return !(*this == other); }
};

class RecordedEvents final : public xml::EventSink {
  public:
    // How much of an entity reference's replacement is recorded.
    static constexpr std::size_t kExpansionBytes = 1 << 16;

    void OnEvent(const xml::Event& event) override {
        const bool joins =
            event.kind == xml::EventKind::Text || event.kind == xml::EventKind::CData;
        if (joins && !events_.empty() && events_.back().kind == event.kind) {
            events_.back().text.append(event.text);
            return;
        }
        RecordedEvent recorded{event.kind, std::string(event.name), std::string(event.text)};
        if (event.kind == xml::EventKind::EntityReference &&
            (event.expansion == nullptr || !event.expansion->Text(kExpansionBytes, recorded.text)))
            recorded.text = "(beyond)";
        events_.push_back(std::move(recorded));
    }

    const std::vector<RecordedEvent>& events() const { return events_; }

  private:
    std::vector<RecordedEvent> events_;
};

// "kind name [text]" for a message.
inline std::string Describe(const RecordedEvent& event) {
    static const char* const kKinds[] = {"start",   "end", "text",  "cdata",
                                         "comment", "pi",  "entity"};
    return std::string(kKinds[static_cast<int>(event.kind)]) + " " + event.name + " [" +
           event.text + "]";
}

// The position of the first event where `a` and `b` differ, or npos when they are the same.
inline std::size_t FirstDifference(const std::vector<RecordedEvent>& a,
                                   const std::vector<RecordedEvent>& b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) return i;
    }
    return a.size() == b.size() ? std::string::npos : common;
}

// What is wrong with `events` as the events of one root element without layout, or an empty
// text: an end that closes no open element, an event outside the root element, a text of
// nothing but blanks beside an element child (see IsLayoutText).
inline std::string ShapeProblem(const std::vector<RecordedEvent>& events) {
    struct Open {
        const std::string* name;
        bool elementChild;
        bool blankText;
    };
    std::vector<Open> open;
    bool rootDone = false;
    for (const RecordedEvent& event : events) {
        if (rootDone) return "an event after the root element: " + Describe(event);
        if (event.kind == xml::EventKind::StartElement) {
            if (!open.empty()) open.back().elementChild = true;
            open.push_back({&event.name, false, false});
            continue;
        }
        if (open.empty()) return "an event outside the root element: " + Describe(event);
        if (event.kind == xml::EventKind::EndElement) {
            if (*open.back().name != event.name)
                return "an end that closes another element: " + Describe(event);
            if (open.back().elementChild && open.back().blankText)
                return "layout handed out inside " + event.name;
            open.pop_back();
            rootDone = open.empty();
        } else if (event.kind == xml::EventKind::Text && xml::IsBlankText(event.text)) {
            open.back().blankText = true;
        }
    }
    if (events.empty()) return "no root element";
    return open.empty() ? std::string() : "the root element never ends";
}

}  // namespace korvane::testing
