#include "editing/title_reading.h"

namespace vel {

std::optional<std::string> TitleReading::Follow(const std::string& title, const std::string& shownReading) {
  if (!shownReading.empty() && shownReading != made_) return std::nullopt;
  made_ = title.empty() ? std::string() : converter_->Convert(title, options_);
  return made_;
}

}  // namespace vel
