#pragma once
// Watches a long statement of the item list (a search or a sort) on the
// window's thread: after a moment the status bar says it is still working,
// and Esc asks it to stop.
#include <windows.h>

#include <vector>

namespace vel {

struct AppState;

class SearchWatch {
 public:
  explicit SearchWatch(AppState& app);
  ~SearchWatch();
  SearchWatch(const SearchWatch&) = delete;
  SearchWatch& operator=(const SearchWatch&) = delete;

  // Called while the statements run; true once Esc was pressed.
  bool StopRequested();

 private:
  static constexpr ULONGLONG kAnnounceAfterMs = 300;
  AppState& app_;
  ULONGLONG started_;
  bool announced_ = false;
  bool stop_ = false;
  std::vector<MSG> waiting_;  // keys pressed meanwhile, given back at the end
};

}  // namespace vel
