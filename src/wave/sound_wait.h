// How long a play may hold the window: the one value the logic hands to every platform's
// sound output with each play.
#pragma once

#include <type_traits>

namespace zel {

// A play that waits blocks the window, so it lets at most this much of its sound be heard
// and cuts the rest: longer than any voice or sound of the program, short enough that a
// long or damaged voice file cannot freeze the window.
inline constexpr int kMaxWaitSeconds = 3;
inline constexpr int kMaxWaitMs = kMaxWaitSeconds * 1000;

// A play that does not wait returns at once and its sound plays to the end (or until the
// next play cuts it). One that waits returns when its sound has been heard, but lets at
// most maxMs of it be heard and cuts the rest; with 0 nothing is heard, and the play only
// stops the sound playing.
struct SoundWait {
  bool wait = false;
  int maxMs = 0;

  // true: a plain waiting play, kMaxWaitSeconds at most; false: no wait.
  constexpr SoundWait(bool waits)  // NOLINT: implicit, so a plain flag reads as before
      : wait(waits), maxMs(waits ? kMaxWaitMs : 0) {}
  // Only a real bool converts: a number of milliseconds must say AtMost.
  template <typename T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
  SoundWait(T) = delete;

  // A waiting play cut after ms (no more than kMaxWaitMs, no less than 0).
  static constexpr SoundWait AtMost(int ms) {
    SoundWait w(true);
    w.maxMs = ms < 0 ? 0 : ms > kMaxWaitMs ? kMaxWaitMs : ms;
    return w;
  }

  bool operator==(const SoundWait&) const = default;
};

}  // namespace zel
