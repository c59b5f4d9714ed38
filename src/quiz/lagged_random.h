// The question generator: a two-tap XOR generator over 15-bit words, each new word the XOR
// of the words made 89 and 38 steps before. Its start is fixed, so only the warm-up at
// start-up (by the clock) makes runs differ.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zel {

struct LaggedRandom {
  std::array<int32_t, 89> state = InitialState();
  int index = 0;

  static std::array<int32_t, 89> InitialState();
};

// The next number, in 0..n-1 for n >= 1 (0 for n = 0).
int DrawRandom(LaggedRandom& random, int n);

// Fills order[0..n-1] with a random permutation of 0..n-1; entries from n on are untouched.
// Nothing happens for n <= 0 or n beyond the order.
template <std::size_t Size>
void ShuffleOrder(LaggedRandom& random, std::array<int, Size>& order, int n) {
  if (n <= 0 || static_cast<std::size_t>(n) > Size) return;
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = -1;
  for (int i = 0; i < n; ++i) {
    int r;
    do r = DrawRandom(random, n);
    while (order[static_cast<std::size_t>(r)] >= 0);
    order[static_cast<std::size_t>(r)] = i;
  }
}

}  // namespace zel
