// Telling a key's real release from the ones of auto-repeat. X11 reports a held key as
// release and press pairs carrying the same time stamp, and not every server lets the
// toolkit flag them; so a release is counted only once the next press shows that it was
// not half of such a pair.
#pragma once

#include <cstdint>
#include <optional>

namespace zel {

class KeyRepeatFilter {
 public:
  void OnRelease(unsigned scanCode, std::uint64_t time, bool flaggedAsRepeat) {
    if (!flaggedAsRepeat) pending_ = Stamp{scanCode, time};
  }
  // True when a release seen before this press was a real one.
  bool OnPress(unsigned scanCode, std::uint64_t time) {
    const bool real = pending_ && !(pending_->scanCode == scanCode && pending_->time == time);
    pending_.reset();
    return real;
  }
  // Something other than a key press came first (a click, a tick): the release waiting,
  // if any, was a real one, since a repeat's press follows its release at once.
  bool TakeWaitingRelease() {
    const bool real = pending_.has_value();
    pending_.reset();
    return real;
  }

 private:
  struct Stamp {
    unsigned scanCode;
    std::uint64_t time;
  };
  std::optional<Stamp> pending_;
};

}  // namespace zel
