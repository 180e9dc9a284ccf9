// COM on the calling thread for the span of one load or save (Windows only).
//
// The platform XML component is a COM object, so the thread that loads or saves must be in a
// COM apartment. The library does not enter one when it is loaded (that would happen under the
// loader lock and only for the loading thread); instead each load and save enters a
// single-threaded apartment for its own span and leaves it again, balanced. A thread that is
// already in an apartment of either kind keeps it: the component works in both.
#pragma once

namespace korvane::platform {

class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // False when the thread is in no apartment at all (COM could not be initialised); COM
    // objects cannot be created then.
    bool Usable() const { return usable_; }

  private:
    bool usable_ = false;
    bool leave_ = false;  // this object entered the apartment (or added a reference to it)
};

}  // namespace korvane::platform
