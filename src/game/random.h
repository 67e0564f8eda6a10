#pragma once
// Where the throws come from. The game draws through this seam so that tests can feed a
// fixed sequence and `--seed` can replay a game.

#include <cstdint>
#include <random>

namespace yut {

class Random {
 public:
  virtual ~Random() = default;
  // A value from 0 to n-1 with equal chances.
  virtual int uniform(int n) = 0;
};

class SeededRandom : public Random {
 public:
  explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
  int uniform(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

 private:
  std::mt19937 engine_;
};

}  // namespace yut
