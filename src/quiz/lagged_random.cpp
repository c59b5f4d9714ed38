#include "quiz/lagged_random.h"

namespace zel {

std::array<int32_t, 89> LaggedRandom::InitialState() {
  return {2090,  446,   15978, 9664,  24976, 2778,  12587, 13465, 5144,  3413,  18023, 29380,
          28864, 19910, 30595, 3177,  18076, 32190, 1838,  8983,  16937, 23105, 14955, 12441,
          23517, 25049, 4256,  3271,  12555, 32150, 13907, 13346, 30690, 20472, 27660, 21073,
          15896, 29159, 29303, 4526,  24648, 31651, 18978, 4401,  31674, 19298, 14469, 29692,
          11563, 1055,  17434, 10831, 31660, 15890, 7476,  2342,  27917, 8339,  18910, 4275,
          9156,  11302, 16820, 17608, 4219,  26169, 13947, 6168,  30010, 698,   32446, 29232,
          28041, 29867, 8134,  12469, 12342, 25134, 16114, 2415,  17831, 28690, 11366, 30130,
          22020, 12864, 22444, 15253, 5850};
}

int DrawRandom(LaggedRandom& random, int n) {
  random.index = (random.index + 1) % 89;
  const int j = (random.index + 51) % 89;
  random.state[random.index] ^= random.state[j];
  // Words stay 15-bit, so n * word stays in range for any n the program uses.
  return static_cast<int>(static_cast<int64_t>(n) * random.state[random.index] / 32768);
}

}  // namespace zel
