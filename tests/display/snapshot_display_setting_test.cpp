// The stored text of a snapshot display setting, read and written: the three
// forms, the older transform codes, and malformed texts that must read as
// something usable.
#include "display/snapshot_display_setting.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

using Form = SnapshotDisplayForm;

struct Case {
  const char* stored;
  Form form;
  const char* aspect;
  double forced;
  int ratio;
  SnapshotTransform transform;
  const char* written;  // what the setting read is written back as
};

TEST(SnapshotDisplaySetting, ReadsEveryFormAndWritesItBack) {
  const Case cases[] = {
      {"", Form::kNone, "", 0, 150, {}, ""},
      {"A0504096", Form::kTransform, "", 0, 50, {0, 0, 0}, "A0504096"},
      {"A1504369", Form::kTransform, "", 0, 150, {1, 1, 1}, "A1504369"},
      {"A9995009", Form::kTransform, "", 0, 999, {3, 9, 1}, "A9995009"},
      {"F0.75@0.75000", Form::kFixedAspect, "0.75", 0.75, 150, {}, "F0.75@0.75000"},
      {"F4:3@0.75", Form::kFixedAspect, "4:3", 0.75, 150, {}, "F4:3@0.75000"},
      // A ratio stored the wrong way round is read as stored and written as its text names.
      {"F4:3@1.33333", Form::kFixedAspect, "4:3", 1.33333, 150, {}, "F4:3@0.75000"},
      {"F@0.00000", Form::kFixedAspect, "", 0, 150, {}, "F@0.00000"},
      // Older transform codes (below 999) are converted on reading.
      {"A150159", Form::kTransform, "", 0, 150, {1, 9, 1}, "A1504497"},
      {"A120103", Form::kTransform, "", 0, 120, {0, 3, 1}, "A1204145"},
      {"A080052", Form::kTransform, "", 0, 80, {1, 2, 0}, "A0804384"},
      // Malformed texts read as defaults, never fail.
      {"A", Form::kTransform, "", 0, 150, {}, "A1504096"},
      {"A1", Form::kTransform, "", 0, 1, {}, "A0014096"},
      {"Axyz12", Form::kTransform, "", 0, 150, {}, "A1504096"},
      {"A150x", Form::kTransform, "", 0, 150, {}, "A1504096"},
      {"A1509999999999999999999", Form::kTransform, "", 0, 150, {}, "A1504096"},
      {"A1501000", Form::kTransform, "", 0, 150, {3, 0, 0}, "A1504864"},
      {"A1504095", Form::kTransform, "", 0, 150, {}, "A1504096"},
      {"F", Form::kFixedAspect, "", 0, 150, {}, "F@0.00000"},
      {"@", Form::kFixedAspect, "", 0, 150, {}, "F@0.00000"},
      {"xyz", Form::kFixedAspect, "yz", 0, 150, {}, "Fyz@0.00000"},
      {"F2@abc", Form::kFixedAspect, "2", 0, 150, {}, "F2@2.00000"},
      {"F2@-3", Form::kFixedAspect, "2", 0, 150, {}, "F2@2.00000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    SnapshotDisplaySetting s = DecodeSnapshotDisplay(c.stored);
    EXPECT_EQ(s.form, c.form);
    EXPECT_EQ(s.aspectText, c.aspect);
    EXPECT_NEAR(s.forcedRatio, c.forced, 1e-9);
    if (c.form == Form::kTransform) {
      EXPECT_EQ(s.ratio, c.ratio);
      EXPECT_EQ(s.transform, c.transform);
    }
    EXPECT_EQ(EncodeSnapshotDisplay(s), c.written);
  }
}

TEST(SnapshotDisplaySetting, WritesTheRatioAsThreeDigitsCappedAt999) {
  const std::pair<int, const char*> cases[] = {
      {50, "A0504096"}, {0, "A0004096"}, {999, "A9994096"}, {1200, "A9994096"}, {-5, "A0004096"}};
  for (const auto& [ratio, stored] : cases) {
    SnapshotDisplaySetting s;
    s.form = Form::kTransform;
    s.ratio = ratio;
    EXPECT_EQ(EncodeSnapshotDisplay(s), stored) << ratio;
  }
}

TEST(SnapshotDisplaySetting, TransformCodePacksThreeChoicesAndDropsOutOfRangeOnes) {
  const std::pair<SnapshotTransform, int> cases[] = {
      {{0, 0, 0}, 4096}, {{1, 2, 1}, 4096 + 256 + 32 + 1}, {{3, 9, 1}, 4096 + 768 + 144 + 1},
      {{4, 10, 2}, 4096}, {{-1, 16, -3}, 4096}, {{2, 5, 0}, 4096 + 512 + 80}};
  for (const auto& [transform, code] : cases) {
    EXPECT_EQ(EncodeTransformCode(transform), code);
    SnapshotTransform kept{transform.rotation >= 0 && transform.rotation < 4 ? transform.rotation : 0,
                           transform.enlarge >= 0 && transform.enlarge < 10 ? transform.enlarge : 0,
                           transform.reduce >= 0 && transform.reduce < 2 ? transform.reduce : 0};
    EXPECT_EQ(DecodeTransformCode(code), kept);
  }
  EXPECT_EQ(DecodeTransformCode(-1), SnapshotTransform{});
  EXPECT_EQ(DecodeTransformCode(998), (SnapshotTransform{1, 0, 1}));  // older form, enlarge 848 out of range
}

TEST(SnapshotDisplaySetting, AspectTextsThatCanBeStored) {
  struct AspectCase {
    const char* text;
    double value;
    bool readable, storable;
  } cases[] = {
      {"0.75", 0.75, true, true},   {" 1.5 ", 1.5, true, true},  {"4:3", 0.75, true, true},
      {"9/16", 0.5625, true, true}, {"16:9", 0.5625, true, true}, {"", 0, false, true},        {"abc", 0, false, false},
      {"4:0", 0, false, false}, {"0:3", 0, false, false},     {"-1", 0, false, false},     {"1@2", 0, false, false},
      {"123456789", 123456789, true, false}, {"1e5", 0, false, false}, {"3:", 0, false, false},
  };
  for (const AspectCase& c : cases) {
    SCOPED_TRACE(c.text);
    bool ok = false;
    EXPECT_NEAR(EvaluateAspectText(c.text, &ok), c.value, 1e-9);
    EXPECT_EQ(ok, c.readable);
    EXPECT_EQ(IsStorableAspectText(c.text), c.storable);
  }
  // Eight two-byte characters are eight characters, nine are too many.
  EXPECT_FALSE(IsStorableAspectText(Jp("１２３４５６７８９")));
}

TEST(SnapshotDisplaySetting, AFirstCharacterOfTwoBytesIsSkippedWhole) {
  // "ァ" ends in the byte of "@": it must not be taken for the separator.
  SnapshotDisplaySetting s = DecodeSnapshotDisplay(Jp("ァ") + "3@2");
  EXPECT_EQ(s.form, Form::kFixedAspect);
  EXPECT_EQ(s.aspectText, "3");
  EXPECT_DOUBLE_EQ(s.forcedRatio, 2);
}

TEST(SnapshotDisplaySetting, EditorInputIsStoredOrRefused) {
  struct InputCase {
    SnapshotDisplayInput input;
    bool refused;
    const char* stored;
  } cases[] = {
      {{false, true, "abc", "x", {}}, false, ""},
      {{true, false, "0.75", "", {}}, false, "F0.75@0.75000"},
      {{true, false, "", "", {}}, false, "F@0.00000"},
      {{true, false, "abc", "", {}}, true, ""},
      {{true, false, "1@2", "", {}}, true, ""},
      {{true, false, "123456789", "", {}}, true, ""},
      {{true, true, "", "50", {1, 2, 1}}, false, "A0504385"},
      {{true, true, "", "1200", {}}, false, "A9994096"},
      {{true, true, "", "99999999999999999999999", {}}, false, "A9994096"},
      {{true, true, "", " 7 ", {3, 9, 0}}, false, "A0075008"},
      {{true, true, "", "000050", {}}, false, "A0504096"},
      {{true, true, "", "", {}}, true, ""},
      {{true, true, "", "12a", {}}, true, ""},
      {{true, true, "", "-5", {}}, true, ""},
  };
  for (const InputCase& c : cases) {
    SCOPED_TRACE(std::string(c.input.aspectText) + "/" + c.input.ratioText);
    std::string stored = "left over";
    auto refusal = StoreDisplayInput(c.input, stored);
    EXPECT_EQ(refusal.has_value(), c.refused);
    EXPECT_EQ(stored, c.stored);
    if (c.refused) continue;
    // What the editor shows for the stored text is stored the same way again.
    std::string again;
    EXPECT_FALSE(StoreDisplayInput(DisplayInputOf(stored), again));
    EXPECT_EQ(again, stored);
  }
}

TEST(SnapshotDisplaySetting, EveryChoiceHasALabel) {
  for (int i = 0; i < kRotationChoices; ++i) EXPECT_FALSE(TransformChoiceLabel("rt_", i).empty()) << i;
  for (int i = 0; i < kEnlargeChoices; ++i) EXPECT_FALSE(TransformChoiceLabel("up_", i).empty()) << i;
  for (int i = 0; i < kReduceChoices; ++i) EXPECT_FALSE(TransformChoiceLabel("dn_", i).empty()) << i;
  EXPECT_TRUE(TransformChoiceLabel("up_", 10).empty());
  EXPECT_TRUE(TransformChoiceLabel("xx_", 0).empty());
}

}  // namespace
}  // namespace vel
