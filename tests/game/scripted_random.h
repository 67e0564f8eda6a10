#pragma once
// A Random that gives a fixed sequence of values, for tests that decide every throw.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/random.h"

namespace yut {

class ScriptedRandom : public Random {
 public:
  explicit ScriptedRandom(std::vector<int> values) : values_(std::move(values)) {}
  int uniform(int n) override {
    bounds_.push_back(n);
    if (next_ >= values_.size()) {
      ADD_FAILURE() << "the script has no value left for uniform(" << n << ")";
      return 0;
    }
    return values_[next_++];
  }
  int draws() const { return static_cast<int>(bounds_.size()); }
  const std::vector<int>& bounds() const { return bounds_; }
  bool used_up() const { return next_ == values_.size(); }

 private:
  std::vector<int> values_;
  std::vector<int> bounds_;
  size_t next_ = 0;
};

}  // namespace yut
