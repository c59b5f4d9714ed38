// The file names that replace built-in sounds 300..386: ProgramDir + name + ".wav".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "voice/voice_state.h"

namespace zel {

inline constexpr std::array<std::string_view, kNamedVoiceCount> VoiceNameTable = {
    "A",  "I",  "U",  "E",  "O",  "KA", "KI", "KU", "KE", "KO", "SA", "SI", "SU", "SE", "SO",
    "TA", "TI", "TU", "TE", "TO", "NA", "NI", "NU", "NE", "NO", "HA", "HI", "HU", "HE", "HO",
    "MA", "MI", "MU", "ME", "MO", "YA", "YU", "YO", "RA", "RI", "RU", "RE", "RO", "WA", "WO",
    "N",  "GA", "GI", "GU", "GE", "GO", "ZA", "ZI", "ZU", "ZE", "ZO", "DA", "DI", "DU", "DE",
    "DO", "BA", "BI", "BU", "BE", "BO", "PA", "PI", "PU", "PE", "PO", "SP", "0",  "1",  "2",
    "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "KORE", "BUBI", "PIN", "MARU"};

inline std::string VoiceOverridePath(const std::string& programDir, int slot) {
  return programDir + std::string(VoiceNameTable[slot]) + ".wav";
}

}  // namespace zel
