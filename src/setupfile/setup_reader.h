// Fills the description in memory from the events of a setup file (xml/xml_events.h), by the
// rules of SetupWalk.
#pragma once

#include "model/setup_document.h"
#include "setupfile/setup_walk.h"
#include "xml/xml_events.h"

namespace korvane::setupfile {

// Reads the ten sections of a setup file into `setup`, which should be empty. Each item is
// added once it has ended; a reserved word or configuration field read twice keeps its first
// texts. What it holds while it reads is the item being read, each value's text cut at what a
// load keeps, and which sections it has seen.
class SetupReader final : public xml::EventSink, private SetupWalkHandler {
  public:
    explicit SetupReader(model::SetupDocument& setup) : setup_(setup), walk_(*this) {}

    void OnEvent(const xml::Event& event) override { walk_.OnEvent(event); }

    // True when a value expanded beyond what can be read (entity expansion): the description
    // then means nothing.
    bool failed() const { return walk_.failed(); }

  private:
    void ItemEnd(WalkedItem& item) override;

    model::SetupDocument& setup_;
    SetupWalk walk_;
};

}  // namespace korvane::setupfile
