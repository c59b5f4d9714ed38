// The sharp stroke-order film: the same ticks as the strips' film, each frame drawn from the
// stroke data with the pen's progress along the strokes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/routing.h"
#include "display/kana_strokes.h"
#include "display/stroke_order.h"
#include "support/app_fixture.h"

namespace zel {
namespace {

using Strings = std::vector<std::string>;
using testing::AppFixture;

TEST(FilmStrokeProgress, ThePenWritesTheStrokesInOrderFromRedToBlue) {
  for (int key : {0, 6, 23, 27, 44, 46, 66}) {
    const std::vector<StrokeLine> strokes = KanaStrokes(key);
    std::vector<double> before(strokes.size(), 0.0);
    for (int frame = 0; frame < kStripFrames; ++frame) {
      const std::vector<double> reached = FilmStrokeProgress(key, frame);
      ASSERT_EQ(reached.size(), strokes.size());
      for (size_t i = 0; i < reached.size(); ++i) {
        EXPECT_GE(reached[i], before[i]) << key << " frame " << frame << " stroke " << i;
        EXPECT_GE(reached[i], 0.0);
        EXPECT_LE(reached[i], 1.0);
        // A stroke begins only once the one before it is finished.
        if (i > 0 && reached[i] > 0) {
          EXPECT_EQ(reached[i - 1], 1.0) << key << " frame " << frame;
        }
      }
      if (frame == 0) {
        EXPECT_EQ(reached, std::vector<double>(strokes.size(), 0.0)) << key;
      }
      if (frame == kStripFrames - 1) {
        EXPECT_EQ(reached, std::vector<double>(strokes.size(), 1.0)) << key;
      }
      before = reached;
    }
    // Something is written between the first frame and the last.
    EXPECT_GT(FilmStrokeProgress(key, 7)[0], 0.0) << key;
    EXPECT_LT(FilmStrokeProgress(key, 7).back(), 1.0) << key;
  }
}

// As in the strips: every stroke is seen being written over frames of its own, and a voiced
// mark starts by frame 12 and takes at least three frames, after the whole plain kana.
TEST(FilmStrokeProgress, EveryStrokeAndEveryMarkHasFramesOfItsOwn) {
  for (int key = 0; key < kStrokeKanaCount; ++key) {
    const size_t count = KanaStrokes(key).size();
    const size_t marks = key >= 66 ? 1 : key >= 46 ? 2 : 0;
    std::vector<int> firstFrame(count, -1), lastFrame(count, -1);
    for (int frame = 1; frame < kStripFrames; ++frame) {
      const std::vector<double> reached = FilmStrokeProgress(key, frame);
      for (size_t i = 0; i < count; ++i) {
        if (reached[i] > 0 && firstFrame[i] < 0) firstFrame[i] = frame;
        if (reached[i] >= 1.0 && lastFrame[i] < 0) lastFrame[i] = frame;
      }
    }
    for (size_t i = 0; i < count; ++i) {
      EXPECT_GE(lastFrame[i] - firstFrame[i], 1) << "key " << key << " stroke " << i;
      if (i > 0) {
        EXPECT_GT(firstFrame[i], lastFrame[i - 1]) << "key " << key << " stroke " << i;
      }
    }
    if (marks > 0) {
      const size_t mark = count - marks;
      EXPECT_LE(firstFrame[mark], 12) << key;
      EXPECT_GE(lastFrame[count - 1] - firstFrame[mark] + 1, 3) << key;
      EXPECT_EQ(FilmStrokeProgress(key, 11)[mark - 1], 1.0) << key;  // the plain kana is done
    }
  }
}

class SharpFilmTest : public AppFixture {
 protected:
  void SetUp() override {
    StartUp(app);
    app.settings.SmoothKakijun = 1;
  }
  void Command(int id) { RouteCommand(app, id, kFromClick); }
  int PlayFilm() {
    int ticks = 0;
    while (app.TimerUse == kTimerStrokeOrder && ticks < 100) {
      TimerTick(app);
      ++ticks;
    }
    return ticks;
  }
};

TEST_F(SharpFilmTest, KeepsTheFilmsTimingAndEndButDrawsEachFrameSharp) {
  app.settings.KakijunSpeed = 250;
  Command(1006);  // き
  host.Clear();
  Command(kCmdStrokeOrder);
  EXPECT_EQ(PlayFilm(), 18);
  const Strings frames = host.Only("sharp frame");
  ASSERT_EQ(frames.size(), 16u);
  EXPECT_EQ(frames.front(), "sharp frame 6 0 0 0 0");
  EXPECT_EQ(frames.back(), "sharp frame 6 100 100 100 100");
  EXPECT_TRUE(host.Only("frame ").empty());  // no strip frame
  EXPECT_EQ(host.Only("timer 100").size(), 1u);
  EXPECT_EQ(host.Only("timer 250").size(), 17u);
  EXPECT_EQ(host.Only("panel white").size(), 1u);
  EXPECT_EQ(host.events.back(), "invalidate");
}

TEST_F(SharpFilmTest, FollowsTheKeyAndDrawsNothingWithoutOne) {
  Command(1084);  // the digits set: "３" is on the key of え
  Command(1003);
  host.Clear();
  Command(kCmdStrokeOrder);
  TimerTick(app);
  EXPECT_EQ(host.Only("sharp frame 3 "), (Strings{"sharp frame 3 0 0"}));

  // Nothing typed: the strips' film with no strip, as with the setting off.
  StartUp(app);
  app.settings.SmoothKakijun = 1;
  host.Clear();
  Command(kCmdStrokeOrder);
  TimerTick(app);
  EXPECT_EQ(host.Only("sharp"), Strings{});
  EXPECT_EQ(host.Only("frame "), (Strings{"frame 0 0"}));
}

}  // namespace
}  // namespace zel
