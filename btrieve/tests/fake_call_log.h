// Reading the fake engine's call log from a marked point on, one call as
// "op k<key number> d<data length>".
#pragma once

#include "btrieve/tests/fake_engine.h"

#include <string>
#include <vector>

inline std::string Describe(const FakeCall& c) {
  return std::to_string(c.Op) + " k" + std::to_string(c.KeyNum) + " d" + std::to_string(c.DataLen);
}

class FakeCallMark {
public:
  void Mark() { mark_ = FakeEngine::Calls().size(); }
  std::vector<FakeCall> CallsSinceMark() const {
    const auto& all = FakeEngine::Calls();
    return std::vector<FakeCall>(all.begin() + long(mark_), all.end());
  }
  std::vector<std::string> DescribedSinceMark() const {
    std::vector<std::string> out;
    for (const FakeCall& c : CallsSinceMark()) out.push_back(Describe(c));
    return out;
  }

private:
  size_t mark_ = 0;
};
