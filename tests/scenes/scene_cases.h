// The panel's scenes that both platforms must draw alike: a character, a film frame, a
// picture, counting circles, and a kana being traced with ink and the hint's dot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "display/panel_scene.h"

namespace zel::testing {

struct SceneCase {
  std::string name;
  int width = 0, height = 0;
  PanelScene scene;
};

// The face both platforms draw the character with, installed with the program.
inline constexpr char kSceneFace[] = "IPAGothic";

// The cases hold what their scenes point into (pictures) for as long as they live.
struct SceneCases {
  std::vector<SceneCase> cases;
  std::shared_ptr<void> keep;
};
SceneCases MakeSceneCases();

}  // namespace zel::testing
