#pragma once
// The benchmarks' table of operations against their targets.
#include <string>

namespace vel::bench {

struct TargetRow {
  std::string name;
  int rows = 0;
  double program = 0, ceiling = 0;  // ms; no ceiling: 0
  double target = 0;                // a ratio to the ceiling, or with `absolute` ms
  bool absolute = false;
};

void PrintTargetHeader();
// One line: the times, the ratio to the ceiling, the target and whether it is met.
void PrintTargetRow(const TargetRow& row);

}  // namespace vel::bench
