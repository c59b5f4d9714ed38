// An AppState wired to a RecordingHost, with helpers to type on it.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "chars/input_line.h"
#include "support/recording_host.h"

namespace zel::testing {

class AppFixture : public ::testing::Test {
 protected:
  RecordingHost host;
  AppState app{host};

  void Type(std::initializer_list<int> keyIndexes) {
    for (int index : keyIndexes) PressCharKey(app, 1000 + index);
  }
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const auto& e : app.chars.line.entries) codes.push_back(e.code);
    return codes;
  }
  std::vector<int> Voices() const {
    std::vector<int> voices;
    for (const auto& e : app.chars.line.entries) voices.push_back(e.voice);
    return voices;
  }
  std::string DisplayUtf8() const { return SjisToUtf8(app.chars.line.DisplayText); }
  std::string CurrentCharUtf8() const { return SjisToUtf8(app.chars.CurrentChar); }
};

}  // namespace zel::testing
