// The events a loaded document hands its reader: the same from libxml2's stream, from a walk of
// a parsed tree and, on Windows, from the XML component's tree; layout never among them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recorded_events.h"
#include "xml/layout_filter.h"
#include "xml/xml_events.h"

namespace korvane::xml {
namespace {

using testing::RecordedEvents;

// The events as one line: S(name) E T'text' C'cdata' #'comment' ?(target data) &(name=text).
std::string Line(const RecordedEvents& recorded) {
    std::string out;
    for (const testing::RecordedEvent& event : recorded.events()) {
        switch (event.kind) {
            case EventKind::StartElement:
                out += "S(" + event.name + ")";
                break;
            case EventKind::EndElement:
                out += "E";
                break;
            case EventKind::Text:
                out += "T'" + event.text + "'";
                break;
            case EventKind::CData:
                out += "C'" + event.text + "'";
                break;
            case EventKind::Comment:
                out += "#'" + event.text + "'";
                break;
            case EventKind::ProcessingInstruction:
                out += "?(" + event.name + " " + event.text + ")";
                break;
            case EventKind::EntityReference:
                out += "&(" + event.name + "=" + event.text + ")";
                break;
        }
    }
    return out;
}

std::string EventsOf(const std::string& document, EventSource source) {
    RecordedEvents recorded;
    ParseError error;
    EXPECT_TRUE(ReadXmlEvents(document, recorded, error, source)) << error.text;
    return Line(recorded);
}

void ExpectEvents(const std::string& document, const std::string& expected) {
    EXPECT_EQ(EventsOf(document, EventSource::Stream), expected) << document;
    EXPECT_EQ(EventsOf(document, EventSource::Tree), expected) << document;
}

TEST(XmlEvents, OnlyTheRootsEventsAndNoLayout) {
    ExpectEvents(
        "<?xml version=\"1.0\"?>\n<!--before--><?pi before?>\n<SETUP>\n  <A>x</A>\n"
        "  <B/>\n</SETUP>\n<!--after-->\n",
        "S(SETUP)S(A)T'x'ES(B)EE");
}

TEST(XmlEvents, BlanksAreLayoutOnlyBesideAnElementChild) {
    // A value of blanks alone, blanks beside a comment, CDATA or CR, and indentation with CR LF.
    ExpectEvents(
        "<R>\r\n  <A> </A>\r\n  <B> <!--c-->x</B>\r\n  <C> <![CDATA[ ]]> </C>\r\n"
        "  <D> &#13; </D>\r\n</R>",
        "S(R)S(A)T' 'ES(B)T' '#'c'T'x'ES(C)T' 'C' 'T' 'ES(D)T' \r 'EE");
    // Blank text before and after an element child is layout; other text beside it is not.
    ExpectEvents("<R><A> <!--c--> <B/> x </A><C>  <?p d?>  </C></R>",
                 "S(R)S(A)#'c'S(B)ET' x 'ES(C)T'  '?(p d)T'  'EE");
}

TEST(XmlEvents, CharacterAndPredefinedReferencesAreText) {
    ExpectEvents("<R><A>&lt;&amp;&#x41;&gt;</A></R>", "S(R)S(A)T'<&A>'EE");
}

TEST(XmlEvents, FailuresOfTheParseAreFailures) {
    for (EventSource source : {EventSource::Stream, EventSource::Tree}) {
        RecordedEvents recorded;
        ParseError error;
        EXPECT_FALSE(ReadXmlEvents("<R><A></R>", recorded, error, source));
        EXPECT_EQ(error.kind, ParseError::Kind::NotWellFormed);
        EXPECT_FALSE(ReadXmlEvents(std::string("<R>\0</R>", 8), recorded, error, source));
        EXPECT_EQ(error.kind, ParseError::Kind::Refused);
    }
}

// Pieces of one text as a parser may hand them: blank at first, then not.
TEST(LayoutFilter, ATextIsLayoutOnlyWhenAllOfItIsBlank) {
    RecordedEvents recorded;
    LayoutFilter filter(recorded);
    const auto event = [&](EventKind kind, std::string_view text = {}) {
        Event e;
        e.kind = kind;
        e.name = "N";
        e.text = text;
        filter.OnEvent(e);
    };
    event(EventKind::StartElement);
    event(EventKind::StartElement);
    event(EventKind::EndElement);
    event(EventKind::Text, "  ");
    event(EventKind::Text, "\n");
    event(EventKind::StartElement);  // after layout
    event(EventKind::EndElement);
    event(EventKind::Text, "  ");
    event(EventKind::Text, "x");  // the same text goes on: not layout
    event(EventKind::EndElement);
    EXPECT_EQ(Line(recorded), "S(N)S(N)ES(N)ET'  x'E");
}

#if !defined(_WIN32)
// A document type may declare entities, whose references only a tree holds: the stream gives
// way to the tree, and a reference's text is its replacement.
TEST(XmlEvents, EntityReferencesComeWithTheirText) {
    ExpectEvents("<!DOCTYPE R [<!ENTITY e \"<b>in</b>side\">]><R><A>x&e;y</A></R>",
                 "S(R)S(A)T'x'&(e=inside)T'y'EE");
}
#endif

}  // namespace
}  // namespace korvane::xml

namespace korvane::xml {
namespace {

// Where each element starts, as the events say: the line of its start tag's '>', from the
// stream, from a tree and from the Windows component alike.
TEST(XmlEvents, ElementsCarryTheLinesOfTheirStartTags) {
    struct Lines final : EventSink {
        std::vector<long> lines;
        void OnEvent(const Event& event) override {
            if (event.kind == EventKind::StartElement) lines.push_back(event.line);
        }
    };
    const std::string document =
        "<?xml version=\"1.0\"?>\n<SETUP>\n  <A\n   x=\"1\">a</A>\r\n"
        "  <!-- c -->\n  <B/><C>\n</C>\n</SETUP>\n";
    for (EventSource source : {EventSource::Stream, EventSource::Tree}) {
        Lines lines;
        ParseError error;
        ASSERT_TRUE(ReadXmlEvents(document, lines, error, source));
        EXPECT_EQ(lines.lines, (std::vector<long>{2, 4, 6, 6}));
    }
}

}  // namespace
}  // namespace korvane::xml
