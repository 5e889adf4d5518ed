#pragma once
// The reading typed beside a title follows the title while the user has not
// typed a reading of their own. Texts are CP932.
#include <memory>
#include <optional>
#include <string>

#include "maintenance/title_converter.h"

namespace vel {

class TitleReading {
 public:
  TitleReading(std::unique_ptr<TitleConverter> converter, ConversionOptions options)
      : converter_(std::move(converter)), options_(options) {}

  // The reading to show for the edited title, or nothing when the reading
  // field holds text the user typed (neither empty nor the last reading
  // made here), which is never overwritten.
  std::optional<std::string> Follow(const std::string& title, const std::string& shownReading);

 private:
  std::unique_ptr<TitleConverter> converter_;
  ConversionOptions options_;
  std::string made_;  // the last reading put into the field
};

}  // namespace vel
