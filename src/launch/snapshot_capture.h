#pragma once
// The decisions of automatic snapshot capture that need no screen: the
// capture modes and their tips, the interval, the names captures and filed
// snapshots get, the region and output-size arithmetic, border trimming on a
// pixel buffer, the result codes and their summary. The Windows side only
// copies pixels and shows dialogs.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vel {

struct EmulatorConfig;

// Capture modes as the user cycles them on status-bar part 8.
inline constexpr int kCaptureOff = 0;
inline constexpr int kCaptureFullScreen = 1;
inline constexpr int kCaptureActiveWindow = 2;
inline constexpr int kCaptureClipboard = 3;
inline constexpr int kCaptureModeCount = 4;

// The mode after `mode` in the cycle 0 -> 1 -> 2 -> 3 -> 0; a value outside
// 0..3 is taken as 0.
int NextCaptureMode(int mode);
// "自動スナップ撮影(OFF)" ... for the mode (CP932); a mode outside 0..3 shows off.
std::string CaptureModeTip(int mode);

// Seconds between captures, clamped to 1..3600 so that a session never spins.
int CaptureIntervalSeconds(int interval);
// "AutoSnap0000" for counter 0 (no extension).
std::string AutoSnapName(int counter);

// Result codes of converting, saving and filing.
inline constexpr int kSnapNothing = 0;
inline constexpr int kSnapSaved = 1;
inline constexpr int kSnapFiledFromFolder = 2;
inline constexpr int kSnapFiledByChoice = 3;
inline constexpr int kSnapFolderUnset = 10;
inline constexpr int kSnapFolderMissing = 11;
inline constexpr int kSnapBadName = 12;
inline constexpr int kSnapNoBitmap = 102;  // also a picture too large to convert
inline constexpr int kSnapEncodeFailed = 103;
inline constexpr int kSnapWriteFailed = 104;
inline constexpr int kSnapCopyFailed = 201;
inline constexpr int kSnapDiscarded = 202;
inline constexpr int kSnapAdjustFailed = 301;
inline constexpr int kSnapNoText = 999;

// The largest side of a converted picture.
inline constexpr int kLargestSnapSide = 16384;

// `SaveExPicToSnap` bit flags; a negative value means none.
inline constexpr int kFileExtractedPictures = 1;
inline constexpr int kAskAmongPictures = 4;
inline constexpr int kFileClipboardPicture = 256;
int SnapFilingFlags(int saveExPicToSnap);

struct SnapRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const SnapRect&) const = default;
};

// A monitor's rectangle in screen coordinates (left may be negative).
struct MonitorRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The part of a source picture that is converted ([ClipToPNG]): the narrow
// region below `ClipXthreshold`, else the `Monitor`'s rectangle relative to
// the virtual screen's top-left when it names one, else the wide region. A
// width or height of 0 means the source's. The region is clipped to the
// source; nothing when it is empty (the capture then counts as failed).
std::optional<SnapRect> CaptureRegion(int sourceWidth, int sourceHeight, const EmulatorConfig& config,
                                      const std::vector<MonitorRect>& monitors, bool noCrop = false);

// `SaveWidth` x `SaveHeight`, 0 meaning the region's size; nothing when a
// side would exceed kLargestSnapSide.
struct SnapSize {
  int width = 0, height = 0;
  bool operator==(const SnapSize&) const = default;
};
std::optional<SnapSize> OutputSize(const SnapRect& region, int saveWidth, int saveHeight);

// A picture as 32-bit pixels (0x00RRGGBB), rows top-down.
struct SnapPixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// `ColorTrim`: the rows and columns of the region holding a colour other than
// its top-left pixel's, when they span at least half its height and width;
// otherwise the region as it is. One pass over the region's pixels.
SnapRect TrimmedRegion(const SnapPixels& picture, const SnapRect& region);

// Scales the region of `picture` to `size`: with `halftone` each output pixel
// averages the source pixels it covers, else the nearest source pixel.
SnapPixels ScaleRegion(const SnapPixels& picture, const SnapRect& region, const SnapSize& size, bool halftone);

// The whole conversion: region, trimming, output size and scaling, as the
// configuration says. Nothing when the region is empty or too large.
std::optional<SnapPixels> ConvertPicture(const SnapPixels& picture, const EmulatorConfig& config,
                                         const std::vector<MonitorRect>& monitors, bool noCrop, int* code);

// The item's snapshot names by `CRC32Name`: 0 the file title, 1 the CRC32,
// 2 both (file title first), 3 the title; another value is taken as 0.
// Empty when a needed name is empty or is no valid file name.
std::vector<std::string> SnapshotNames(int crc32Name, const std::string& fileTitle, const std::string& crc32,
                                       const std::string& title);
// A name usable as one file name: not empty, none of \ / : * ? " < > | or
// control characters (tested by character, so CP932 trail bytes pass), not
// "." or "..", no trailing dot or space, no device name (CON, COM1 ...).
bool IsValidSnapshotName(const std::string& name);

// folder + "\" + name + "." + extension; empty when the path would be longer
// than 259 characters.
std::string SnapshotPath(const std::string& folder, const std::string& name, const std::string& extension);

// The balloon icon of a result code: 0 information, 1 warning, 2 error.
int ResultIconKind(int code);
// The text of a result code in the "SnapSaveNotify" table ("[\n]" becoming a
// line break, at most 127 characters); the text of 999 for a code without
// text. `table` gives the stored text of a key ("" when none).
std::string ResultText(int code, const std::function<std::string(const std::string& key)>& table);
// The balloon of a code: its text, and its icon as ResultIconKind gives it,
// except that a code without a text of its own shows 999's text as an error.
struct ResultBalloon {
  std::string text;
  int icon = 0;
};
ResultBalloon ResultBalloonFor(int code, const std::function<std::string(const std::string& key)>& table);

// The codes of one filing pass summarised into the result of the run.
struct FilingCodes {
  bool folderFiled = false;    // pictures from the extraction folder were filed
  bool choiceMade = false;     // the choice dialog filed pictures
  bool askedAmongMany = false; // flag 4 with several pictures led to the choice
  bool clipboardSaved = false;
  std::vector<int> errors;     // codes of 10 and above, in order
};
int SummariseFiling(const FilingCodes& codes);

// The pictures a session wrote, so that exactly these are listed and
// deleted after the run.
class CaptureLog {
 public:
  void Add(const std::string& path) { paths_.push_back(path); }
  const std::vector<std::string>& Paths() const { return paths_; }
  bool Empty() const { return paths_.empty(); }

 private:
  std::vector<std::string> paths_;
};

}  // namespace vel
