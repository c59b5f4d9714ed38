#pragma once

#include <array>

namespace zel {

inline constexpr int kFirstNamedVoice = 300;
inline constexpr int kNamedVoiceCount = 87;  // sounds 300..386 can be replaced by files

struct VoiceState {
  std::array<bool, kNamedVoiceCount> VoiceOverride{};  // which sounds have a file
};

}  // namespace zel
