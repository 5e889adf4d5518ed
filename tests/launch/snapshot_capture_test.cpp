#include "launch/snapshot_capture.h"

#include <gtest/gtest.h>

#include "launch/emulator_config.h"
#include "launch/launch_test_files.h"
#include "launch/png_writer.h"
#include "platform/codepage.h"
#include "png_reader.h"

namespace vel {
namespace {

SnapPixels Filled(int width, int height, std::uint32_t colour) {
  SnapPixels p;
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<size_t>(width) * height, colour);
  return p;
}

void Fill(SnapPixels& p, int x, int y, int w, int h, std::uint32_t colour) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) p.pixels[static_cast<size_t>(j) * p.width + i] = colour;
}

TEST(SnapshotCapture, ModesCycleAndEveryModeHasItsTip) {
  EXPECT_EQ(NextCaptureMode(0), 1);
  EXPECT_EQ(NextCaptureMode(1), 2);
  EXPECT_EQ(NextCaptureMode(2), 3);
  EXPECT_EQ(NextCaptureMode(3), 0);
  EXPECT_EQ(NextCaptureMode(-2), 1);  // a value from elsewhere restarts the cycle
  EXPECT_EQ(CaptureModeTip(0), Jp("自動スナップ撮影(OFF)"));
  EXPECT_EQ(CaptureModeTip(2), Jp("自動スナップ撮影(ActiveWindow)"));
  EXPECT_EQ(CaptureModeTip(-2), CaptureModeTip(0));  // never out of the table
  EXPECT_EQ(CaptureModeTip(4), CaptureModeTip(0));
}

TEST(SnapshotCapture, IntervalIsClampedAndNamesCount) {
  struct Case {
    int given, seconds;
  } cases[] = {{5, 5}, {0, 1}, {-3, 1}, {1, 1}, {3600, 3600}, {100000, 3600}};
  for (const Case& c : cases) EXPECT_EQ(CaptureIntervalSeconds(c.given), c.seconds) << c.given;
  EXPECT_EQ(AutoSnapName(0), "AutoSnap0000");
  EXPECT_EQ(AutoSnapName(42), "AutoSnap0042");
  EXPECT_EQ(AutoSnapName(12345), "AutoSnap12345");
}

TEST(SnapshotCapture, FilingFlagsFromTheSetting) {
  EXPECT_EQ(SnapFilingFlags(-1), 0);  // negative: nothing, not every bit
  EXPECT_EQ(SnapFilingFlags(-257), 0);
  EXPECT_EQ(SnapFilingFlags(257), kFileExtractedPictures | kFileClipboardPicture);
  EXPECT_EQ(SnapFilingFlags(0), 0);
}

TEST(SnapshotCapture, RegionAndOutputSize) {
  // Monitor 1 at 0,0 1920x1080; monitor 2 left of the origin.
  std::vector<MonitorRect> monitors = {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}};
  struct Case {
    const char* what;
    int sourceW, sourceH;
    int threshold, x, y, w, h;        // narrow region
    int monitor, x2, y2, w2, h2;      // wide region
    int saveW, saveH;
    std::optional<SnapRect> region;
    std::optional<SnapSize> size;
  } cases[] = {
      {"whole source", 640, 480, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, SnapRect{0, 0, 640, 480}, SnapSize{640, 480}},
      {"narrow region", 640, 480, 800, 10, 20, 100, 50, 0, 0, 0, 0, 0, 0, 0, SnapRect{10, 20, 100, 50}, SnapSize{100, 50}},
      {"wide region", 640, 480, 100, 10, 20, 100, 50, 0, 5, 6, 0, 0, 80, 60, SnapRect{5, 6, 635, 474}, SnapSize{80, 60}},
      {"monitor 1 right of the second", 3200, 1080, 2000, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, SnapRect{1280, 0, 1920, 1080},
       SnapSize{1920, 1080}},
      {"monitor 2 at the left", 3200, 1080, 2000, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, SnapRect{0, 0, 1280, 1024},
       SnapSize{1280, 1024}},
      {"monitor beyond the count", 3200, 1080, 2000, 0, 0, 0, 0, 3, 100, 0, 200, 0, 0, 0, SnapRect{100, 0, 200, 1080},
       SnapSize{200, 1080}},
      {"clip past the source", 640, 480, 0, 0, 0, 0, 0, 0, 600, 400, 100, 100, 0, 0, SnapRect{600, 400, 40, 80},
       SnapSize{40, 80}},
      {"clip wholly outside", 640, 480, 0, 0, 0, 0, 0, 0, 700, 0, 10, 10, 0, 0, std::nullopt, std::nullopt},
      {"negative size", 640, 480, 0, 0, 0, 0, 0, 0, 0, 0, -5, 10, 0, 0, std::nullopt, std::nullopt},
      {"huge output", 640, 480, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20000, 10, SnapRect{0, 0, 640, 480}, std::nullopt},
      {"output of INT_MAX", 640, 480, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2147483647, 2147483647, SnapRect{0, 0, 640, 480},
       std::nullopt},
  };
  for (const Case& c : cases) {
    EmulatorConfig config;
    config.clipXthreshold = c.threshold;
    config.clipTopX = c.x, config.clipTopY = c.y, config.clipWidth = c.w, config.clipHeight = c.h;
    config.monitor = c.monitor;
    config.clipTopX2 = c.x2, config.clipTopY2 = c.y2, config.clipWidth2 = c.w2, config.clipHeight2 = c.h2;
    std::optional<SnapRect> region = CaptureRegion(c.sourceW, c.sourceH, config, monitors);
    EXPECT_EQ(region, c.region) << c.what;
    if (region) {
      EXPECT_EQ(OutputSize(*region, c.saveW, c.saveH), c.size) << c.what;
    }
  }
  EmulatorConfig clipped;
  clipped.clipWidth2 = 10;
  EXPECT_EQ(CaptureRegion(640, 480, clipped, monitors, true), (SnapRect{0, 0, 640, 480}));  // no-crop flag
}

TEST(SnapshotCapture, ColorTrimKeepsOnlyLargeContent) {
  SnapRect whole{0, 0, 200, 100};
  SnapPixels framed = Filled(200, 100, 0x000000);
  Fill(framed, 20, 20, 160, 60, 0xFF0000);
  EXPECT_EQ(TrimmedRegion(framed, whole), (SnapRect{20, 20, 160, 60}));
  SnapPixels small = Filled(200, 100, 0x000000);
  Fill(small, 90, 40, 20, 20, 0x00FF00);  // less than half the region: stays
  EXPECT_EQ(TrimmedRegion(small, whole), whole);
  EXPECT_EQ(TrimmedRegion(Filled(200, 100, 0x123456), whole), whole);  // uniform: untrimmed
  // Trimming inside a region, not the whole picture.
  EXPECT_EQ(TrimmedRegion(framed, SnapRect{10, 10, 180, 80}), (SnapRect{20, 20, 160, 60}));
}

TEST(SnapshotCapture, ConversionCropsTrimsAndScales) {
  SnapPixels framed = Filled(240, 120, 0x000000);
  Fill(framed, 40, 30, 160, 60, 0x0000FF);
  Fill(framed, 40, 30, 80, 60, 0xFFFFFF);
  EmulatorConfig config;
  config.colorTrim = 1;
  int code = 0;
  std::optional<SnapPixels> trimmed = ConvertPicture(framed, config, {}, false, &code);
  ASSERT_TRUE(trimmed);
  EXPECT_EQ(code, kSnapSaved);
  EXPECT_EQ(trimmed->width, 160);
  EXPECT_EQ(trimmed->height, 60);
  EXPECT_EQ(trimmed->At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(trimmed->At(159, 59), 0x0000FFu);

  config.saveWidth = 80, config.saveHeight = 30;
  for (int halftone : {0, 1}) {
    config.harfTone = halftone;
    std::optional<SnapPixels> scaled = ConvertPicture(framed, config, {}, false, &code);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->width, 80);
    EXPECT_EQ(scaled->At(10, 10), 0xFFFFFFu) << halftone;
    EXPECT_EQ(scaled->At(70, 20), 0x0000FFu) << halftone;
  }
  // Halftone averages: a 2x1 black-white pair becomes grey.
  SnapPixels pair = Filled(2, 1, 0);
  pair.pixels[1] = 0xFEFEFE;
  EXPECT_EQ(ScaleRegion(pair, {0, 0, 2, 1}, {1, 1}, true).At(0, 0), 0x7F7F7Fu);
  EXPECT_EQ(ScaleRegion(pair, {0, 0, 2, 1}, {1, 1}, false).At(0, 0), 0u);

  config.clipTopX2 = 500;  // past the source: a failed conversion
  EXPECT_FALSE(ConvertPicture(framed, config, {}, false, &code));
  EXPECT_EQ(code, kSnapNoBitmap);
}

TEST(SnapshotCapture, NamesByCrc32NameAndInvalidNames) {
  struct Case {
    int crc32Name;
    const char* fileTitle;
    const char* crc32;
    const char* title;
    std::vector<std::string> names;
  } cases[] = {
      {0, "quest 1", "0A1B2C3D", "Quest", {"quest 1"}},
      {1, "quest 1", "0A1B2C3D", "Quest", {"0A1B2C3D"}},
      {2, "quest 1", "0A1B2C3D", "Quest", {"quest 1", "0A1B2C3D"}},
      {3, "quest 1", "0A1B2C3D", "Quest", {"Quest"}},
      {7, "quest 1", "0A1B2C3D", "Quest", {"quest 1"}},  // outside 0..3: by file title
      {3, "q", "0A1B2C3D", "..\\x", {}},
      {3, "q", "0A1B2C3D", "A:B", {}},
      {1, "q", "", "Quest", {}},                       // empty CRC32
      {2, "q", "", "Quest", {}},                       // one of two missing: nothing
      {3, "q", "", "CON", {}},
      {3, "q", "", "com1.txt", {}},
      {3, "q", "", "end.", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SnapshotNames(c.crc32Name, c.fileTitle, c.crc32, c.title), c.names) << c.title << " " << c.crc32Name;
  // Trail bytes 0x5C (ソ, 表) and 0x7C are part of their characters.
  for (const char* utf8 : {"ソフト", "表示", "ポ"}) EXPECT_TRUE(IsValidSnapshotName(Jp(utf8))) << utf8;
  EXPECT_EQ(SnapshotNames(3, "", "", Jp("ソフト")), std::vector<std::string>{Jp("ソフト")});
}

TEST(SnapshotCapture, PathsCodesAndSummary) {
  EXPECT_EQ(SnapshotPath("C:\\snap", "a", "png"), "C:\\snap\\a.png");
  EXPECT_EQ(SnapshotPath("C:\\snap\\", "a", "png"), "C:\\snap\\a.png");
  EXPECT_EQ(SnapshotPath(Jp("C:\\ソ"), "a", "png"), Jp("C:\\ソ\\a.png"));  // trail byte 0x5C is no separator
  EXPECT_EQ(SnapshotPath("C:\\" + std::string(250, 'd'), "name", "png"), "");  // longer than 259: refused

  struct Icon {
    int code, kind;
  } icons[] = {{0, 0}, {3, 0}, {10, 1}, {99, 1}, {104, 2}, {202, 1}, {301, 2}, {999, 2}};
  for (const Icon& i : icons) EXPECT_EQ(ResultIconKind(i.code), i.kind) << i.code;

  auto table = [](const std::string& key) -> std::string {
    if (key == "1") return "saved[\\n]ok";
    if (key == "999") return "unknown";
    if (key == "202") return "kept";
    if (key == "5") return std::string(200, 'x');
    return "";
  };
  EXPECT_EQ(ResultText(1, table), "saved\nok");
  EXPECT_EQ(ResultText(104, table), "unknown");
  EXPECT_EQ(ResultText(5, table).size(), 127u);
  // The balloon: the range's icon for a code with its own text, an error for one without.
  struct Balloon {
    int code;
    const char* text;
    int icon;
  } balloons[] = {{1, "saved\nok", 0}, {5, nullptr, 0}, {104, "unknown", 2}, {12, "unknown", 2}, {202, "kept", 1},
                  {999, "unknown", 2}};
  for (const Balloon& b : balloons) {
    ResultBalloon balloon = ResultBalloonFor(b.code, table);
    if (b.text) EXPECT_EQ(balloon.text, b.text) << b.code;
    EXPECT_EQ(balloon.icon, b.icon) << b.code;
  }

  struct Summary {
    FilingCodes codes;
    int result;
  } summaries[] = {
      {{true, false, false, false, {}}, 2},
      {{false, true, false, false, {}}, 3},
      {{false, true, true, false, {}}, 2},
      {{false, false, false, true, {}}, 1},
      {{false, false, false, false, {0, 11, 201}}, 11},
      {{false, false, false, false, {}}, 0},
  };
  for (const Summary& s : summaries) EXPECT_EQ(SummariseFiling(s.codes), s.result);
}

TEST(PngWriter, EncodesWhatTheReaderDecodes) {
  SnapPixels quadrants = Filled(80, 60, 0);
  Fill(quadrants, 0, 0, 40, 30, 0xFF0000);
  Fill(quadrants, 40, 0, 40, 30, 0x00FF00);
  Fill(quadrants, 0, 30, 40, 30, 0x0000FF);
  Fill(quadrants, 40, 30, 40, 30, 0xFFFFFF);
  std::optional<std::vector<std::uint8_t>> bytes = EncodePng(quadrants);
  ASSERT_TRUE(bytes);
  std::optional<test::PngImage> image = test::ReadPng(*bytes);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 80);
  EXPECT_EQ(image->height, 60);
  EXPECT_EQ(image->pixels, quadrants.pixels);
  EXPECT_FALSE(EncodePng(SnapPixels{}));
}

TEST(PngWriter, SavesWholeOrLeavesTheOldFile) {
  test::TempFolder folder;
  std::string target = test::ProgramPath(folder, "a.png");
  SnapPixels red = Filled(4, 3, 0xFF0000);
  ASSERT_EQ(SavePng(red, target), kSnapSaved);
  std::string text = test::FileText(target);
  std::vector<std::uint8_t> saved(text.begin(), text.end());
  ASSERT_TRUE(test::ReadPng(saved));
  EXPECT_EQ(test::ReadPng(saved)->At(3, 2), 0xFF0000u);
  // Replacing keeps no leftover beside it.
  ASSERT_EQ(SavePng(Filled(2, 2, 0x00FF00), target), kSnapSaved);
  EXPECT_FALSE(FileExists(target + ".new"));
  // A missing folder fails without creating anything.
  std::string missing = test::ProgramPath(folder, "none\\b.png");
  EXPECT_EQ(SavePng(red, missing), kSnapWriteFailed);
  EXPECT_FALSE(FileExists(missing));
  EXPECT_EQ(SaveFileWhole("", {1, 2}), kSnapWriteFailed);
}

}  // namespace
}  // namespace vel
