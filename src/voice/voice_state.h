#pragma once

#include <array>
#include <optional>

namespace zel {

inline constexpr int kFirstNamedVoice = 300;
inline constexpr int kNamedVoiceCount = 87;  // sounds 300..386 can be replaced by files

// Keys and clicks made while a play waits are handled only once it is over, one straight
// after another. Their waiting plays share what is left of one play's allowance, so a
// handful of keys pressed during a long voice cannot each hold the window again.
struct WaitShare {
  int depth = 0;          // inputs being handled, one inside another
  bool queued = false;    // the input being handled came straight after the one before
  long long waitedMs = 0;  // how long the inputs of this run have waited so far
  std::optional<long long> lastInputEndMs;  // on the host's steady clock; none before any
};

struct VoiceState {
  std::array<bool, kNamedVoiceCount> VoiceOverride{};  // which sounds have a file
  WaitShare waits;
};

}  // namespace zel
