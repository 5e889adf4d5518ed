#include "target_table.h"

#include <cstdio>

namespace vel::bench {

void PrintTargetHeader() {
  std::printf("\n%-50s %8s %11s %11s %7s %10s %5s\n", "operation", "rows", "program ms", "ceiling ms", "ratio",
              "target", "met");
}

void PrintTargetRow(const TargetRow& row) {
  const double ratio = row.ceiling > 0 ? row.program / row.ceiling : 0.0;
  char target[32];
  if (row.absolute)
    std::snprintf(target, sizeof target, "< %.0f ms", row.target);
  else
    std::snprintf(target, sizeof target, "<= %.1fx", row.target);
  const bool met = row.absolute ? row.program < row.target : ratio <= row.target;
  char ceiling[16] = "-", ratioText[16] = "-";
  if (row.ceiling > 0) {
    std::snprintf(ceiling, sizeof ceiling, "%.1f", row.ceiling);
    std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
  }
  std::printf("%-50s %8d %11.2f %11s %7s %10s %5s\n", row.name.c_str(), row.rows, row.program, ceiling, ratioText,
              target, met ? "yes" : "NO");
  std::fflush(stdout);
}

}  // namespace vel::bench
