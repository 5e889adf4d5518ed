#include "display/image_types.h"

#include <cctype>

namespace vel {

bool IsLoadableImageExtension(const std::string& extension) {
  std::string upper;
  for (char c : extension) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper == ".PNG" || upper == ".BMP" || upper == ".GIF" || upper == ".JPG";
}

}  // namespace vel
