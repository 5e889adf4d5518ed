#include "launch/snapshot_capture.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "core/cp932_text.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"

namespace vel {

int NextCaptureMode(int mode) { return mode >= 0 && mode < kCaptureModeCount ? (mode + 1) % kCaptureModeCount : 1; }

std::string CaptureModeTip(int mode) {
  static const char* tips[] = {"自動スナップ撮影(OFF)", "自動スナップ撮影(FullScreen)",
                               "自動スナップ撮影(ActiveWindow)", "自動スナップ撮影(Manual)"};
  return Jp(tips[mode >= 0 && mode < kCaptureModeCount ? mode : 0]);
}

int CaptureIntervalSeconds(int interval) { return std::clamp(interval, 1, 3600); }

std::string AutoSnapName(int counter) {
  char name[32];
  std::snprintf(name, sizeof name, "AutoSnap%04d", counter);
  return name;
}

int SnapFilingFlags(int saveExPicToSnap) { return saveExPicToSnap < 0 ? 0 : saveExPicToSnap; }

namespace {

// The rectangle x, y, w, h (0 = the source's) clipped to the source.
std::optional<SnapRect> Clip(int x, int y, int width, int height, int sourceWidth, int sourceHeight) {
  if (width == 0) width = sourceWidth;
  if (height == 0) height = sourceHeight;
  if (width < 0 || height < 0) return std::nullopt;
  long long left = std::max(0, x), top = std::max(0, y);
  long long right = std::min<long long>(sourceWidth, static_cast<long long>(x) + width);
  long long bottom = std::min<long long>(sourceHeight, static_cast<long long>(y) + height);
  if (right <= left || bottom <= top) return std::nullopt;
  return SnapRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                  static_cast<int>(bottom - top)};
}

}  // namespace

std::optional<SnapRect> CaptureRegion(int sourceWidth, int sourceHeight, const EmulatorConfig& c,
                                      const std::vector<MonitorRect>& monitors, bool noCrop) {
  if (sourceWidth <= 0 || sourceHeight <= 0) return std::nullopt;
  if (noCrop) return SnapRect{0, 0, sourceWidth, sourceHeight};
  if (sourceWidth < c.clipXthreshold) return Clip(c.clipTopX, c.clipTopY, c.clipWidth, c.clipHeight, sourceWidth, sourceHeight);
  if (c.monitor >= 1 && static_cast<size_t>(c.monitor) <= monitors.size()) {
    int left = 0, top = 0;  // the virtual screen's top-left
    for (const MonitorRect& m : monitors) left = std::min(left, m.left), top = std::min(top, m.top);
    const MonitorRect& m = monitors[static_cast<size_t>(c.monitor) - 1];
    return Clip(m.left - left, m.top - top, m.right - m.left, m.bottom - m.top, sourceWidth, sourceHeight);
  }
  return Clip(c.clipTopX2, c.clipTopY2, c.clipWidth2, c.clipHeight2, sourceWidth, sourceHeight);
}

std::optional<SnapSize> OutputSize(const SnapRect& region, int saveWidth, int saveHeight) {
  long long width = saveWidth > 0 ? saveWidth : region.width;
  long long height = saveHeight > 0 ? saveHeight : region.height;
  if (width <= 0 || height <= 0 || width > kLargestSnapSide || height > kLargestSnapSide) return std::nullopt;
  return SnapSize{static_cast<int>(width), static_cast<int>(height)};
}

SnapRect TrimmedRegion(const SnapPixels& picture, const SnapRect& region) {
  if (region.width <= 0 || region.height <= 0) return region;
  const std::uint32_t border = picture.At(region.x, region.y) & 0xFFFFFF;
  int first = -1, last = -1, left = region.width, right = -1;
  for (int y = 0; y < region.height; ++y) {
    const std::uint32_t* row = &picture.pixels[static_cast<size_t>(region.y + y) * picture.width + region.x];
    int rowLeft = -1, rowRight = -1;
    for (int x = 0; x < region.width; ++x)
      if ((row[x] & 0xFFFFFF) != border) {
        rowLeft = x;
        break;
      }
    if (rowLeft < 0) continue;
    for (int x = region.width - 1; x >= rowLeft; --x)
      if ((row[x] & 0xFFFFFF) != border) {
        rowRight = x;
        break;
      }
    if (first < 0) first = y;
    last = y;
    left = std::min(left, rowLeft);
    right = std::max(right, rowRight);
  }
  if (first < 0) return region;  // a uniform region stays whole
  int height = last - first + 1, width = right - left + 1;
  if (height * 2 < region.height || width * 2 < region.width) return region;
  return SnapRect{region.x + left, region.y + first, width, height};
}

SnapPixels ScaleRegion(const SnapPixels& picture, const SnapRect& region, const SnapSize& size, bool halftone) {
  SnapPixels out;
  out.width = size.width;
  out.height = size.height;
  out.pixels.resize(static_cast<size_t>(size.width) * size.height);
  for (int y = 0; y < size.height; ++y) {
    long long y0 = static_cast<long long>(y) * region.height / size.height;
    long long y1 = std::max(y0 + 1, static_cast<long long>(y + 1) * region.height / size.height);
    for (int x = 0; x < size.width; ++x) {
      long long x0 = static_cast<long long>(x) * region.width / size.width;
      std::uint32_t& target = out.pixels[static_cast<size_t>(y) * size.width + x];
      if (!halftone) {
        target = picture.At(region.x + static_cast<int>(x0), region.y + static_cast<int>(y0)) & 0xFFFFFF;
        continue;
      }
      long long x1 = std::max(x0 + 1, static_cast<long long>(x + 1) * region.width / size.width);
      unsigned long long r = 0, g = 0, b = 0, n = 0;
      for (long long sy = y0; sy < y1; ++sy)
        for (long long sx = x0; sx < x1; ++sx) {
          std::uint32_t p = picture.At(region.x + static_cast<int>(sx), region.y + static_cast<int>(sy));
          r += (p >> 16) & 0xFF, g += (p >> 8) & 0xFF, b += p & 0xFF, ++n;
        }
      target = static_cast<std::uint32_t>(((r / n) << 16) | ((g / n) << 8) | (b / n));
    }
  }
  return out;
}

std::optional<SnapPixels> ConvertPicture(const SnapPixels& picture, const EmulatorConfig& config,
                                         const std::vector<MonitorRect>& monitors, bool noCrop, int* code) {
  auto fail = [code]() -> std::optional<SnapPixels> {
    if (code) *code = kSnapNoBitmap;
    return std::nullopt;
  };
  std::optional<SnapRect> region = CaptureRegion(picture.width, picture.height, config, monitors, noCrop);
  if (!region) return fail();
  if (config.colorTrim == 1) region = TrimmedRegion(picture, *region);
  std::optional<SnapSize> size = OutputSize(*region, config.saveWidth, config.saveHeight);
  if (!size) return fail();
  if (code) *code = kSnapSaved;
  return ScaleRegion(picture, *region, *size, config.harfTone == 1);
}

std::vector<std::string> SnapshotNames(int crc32Name, const std::string& fileTitle, const std::string& crc32,
                                       const std::string& title) {
  std::vector<std::string> names;
  switch (crc32Name) {
    case 1: names = {crc32}; break;
    case 2: names = {fileTitle, crc32}; break;
    case 3: names = {title}; break;
    default: names = {fileTitle}; break;
  }
  for (const std::string& name : names)
    if (!IsValidSnapshotName(name)) return {};
  return names;
}

bool IsValidSnapshotName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  size_t lastCharacter = 0;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i)) {
    lastCharacter = i;
    if (CharacterLength(name, i) == 2) continue;  // a double-byte character is never a separator
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
  }
  if (name.size() - lastCharacter == 1 && (name.back() == '.' || name.back() == ' ')) return false;
  // Device names, also with an extension ("CON.txt").
  std::string stem = name.substr(0, name.find('.'));
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* device : {"CON", "PRN", "AUX", "NUL"})
    if (stem == device) return false;
  if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9')
    return false;
  return true;
}

std::string SnapshotPath(const std::string& folder, const std::string& name, const std::string& extension) {
  std::string path = folder;
  if (!path.empty() && !EndsWithSeparator(path)) path += "\\";
  path += name + "." + extension;
  return path.size() > 259 ? "" : path;
}

int ResultIconKind(int code) {
  if (code < 10) return 0;
  if (code < 100) return 1;
  if (code < 200) return 2;
  if (code < 300) return 1;
  return 2;
}

ResultBalloon ResultBalloonFor(int code, const std::function<std::string(const std::string& key)>& table) {
  return {ResultText(code, table), table(std::to_string(code)).empty() ? 2 : ResultIconKind(code)};
}

std::string ResultText(int code, const std::function<std::string(const std::string& key)>& table) {
  std::string text = table(std::to_string(code));
  if (text.empty()) text = table(std::to_string(kSnapNoText));
  if (text.size() > 127) text = CutToBytes(text, 127);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 4, "[\\n]") == 0) {
      out += "\n";
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

int SummariseFiling(const FilingCodes& codes) {
  if (codes.choiceMade) return codes.askedAmongMany ? kSnapFiledFromFolder : kSnapFiledByChoice;
  if (codes.folderFiled) return kSnapFiledFromFolder;
  if (codes.clipboardSaved) return kSnapSaved;
  for (int code : codes.errors)
    if (code >= 10) return code;
  return kSnapNothing;
}

}  // namespace vel
