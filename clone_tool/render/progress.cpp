#include "render/progress.h"

#include <cstdio>

Progress::Progress(std::string what, size_t total)
    : what_(std::move(what)), total_(total), start_(std::chrono::steady_clock::now()),
      next_(start_ + std::chrono::seconds(2)) {}

Progress::~Progress() {
    if (reported_) std::fprintf(stderr, "quorvel-clone: %s: done\n", what_.c_str());
}

void Progress::check(size_t done) {
    const auto now = std::chrono::steady_clock::now();
    if (now < next_) return;
    next_ = now + std::chrono::seconds(3);
    reported_ = true;
    std::fprintf(stderr, "quorvel-clone: %s: %zu%%\n", what_.c_str(),
                 total_ ? done * 100 / total_ : 100);
}
