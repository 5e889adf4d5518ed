#include "search/last_query.h"

#include <charconv>
#include <vector>

namespace vel {
namespace {

std::string Join(const std::array<int, kSortColumnCount>& values) {
  std::string text;
  for (int v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
  return text;
}

// Exactly 19 integers separated by commas (spaces around them allowed).
std::optional<std::array<int, kSortColumnCount>> SplitIntegers(const std::string& text) {
  std::array<int, kSortColumnCount> values{};
  size_t count = 0, at = 0;
  while (true) {
    size_t end = text.find(',', at);
    std::string part = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    size_t first = part.find_first_not_of(' '), last = part.find_last_not_of(' ');
    if (first == std::string::npos || count == values.size()) return std::nullopt;
    part = part.substr(first, last - first + 1);
    int value = 0;
    auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (ec != std::errc() || ptr != part.data() + part.size()) return std::nullopt;
    values[count++] = value;
    if (end == std::string::npos) break;
    at = end + 1;
  }
  if (count != values.size()) return std::nullopt;
  return values;
}

}  // namespace

SortStateText FormatSortState(const SortState& state) { return {Join(state.dir), Join(state.keys)}; }

std::optional<SortState> ParseSortState(const std::string& sortOrder, const std::string& sortColumn) {
  auto dir = SplitIntegers(sortOrder);
  auto keys = SplitIntegers(sortColumn);
  if (!dir || !keys) return std::nullopt;
  std::array<bool, kSortColumnCount> seen{};
  for (int column : *keys) {
    if (column < 0 || column >= kSortColumnCount || seen[static_cast<size_t>(column)]) return std::nullopt;
    seen[static_cast<size_t>(column)] = true;
  }
  for (int c = 0; c < kSortColumnCount; ++c) {
    int limit = c == kSortMachineGenre ? 3 : 1;
    if ((*dir)[static_cast<size_t>(c)] < 0 || (*dir)[static_cast<size_t>(c)] > limit) return std::nullopt;
  }
  SortState state;
  state.keys = *keys;
  state.dir = *dir;
  return state;
}

}  // namespace vel
