// Progress of a step that may take a while: silent for its first two seconds, then a line on
// standard error every few seconds, so that short runs stay quiet and long ones show they move.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

class Progress {
  public:
    Progress(std::string what, size_t total);
    ~Progress();
    // Cheap enough to call for every item.
    void at(size_t done) {
        if ((++calls_ & 0xFFF) == 0) check(done);
    }
    // For a step of few large items: looks at the clock every time.
    void at_each(size_t done) { check(done); }

  private:
    void check(size_t done);

    std::string what_;
    size_t total_;
    size_t calls_ = 0;
    bool reported_ = false;
    std::chrono::steady_clock::time_point start_, next_;
};
