// Memos against a real library: stored whole and in UTF-8 (characters CP932
// cannot hold survive), an empty memo removes the row, quoted keys, and
// leaving a modified memo stores it under the key it was read for.
#include "extras/memo_store.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

class MemoStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  int Rows() {
    EXPECT_FALSE(db.Query("SELECT COUNT(*) FROM memo_table;"));
    return db.CellInt(1, 0);
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(MemoStoreTest, MemosAreStoredWholeInUtf8) {
  const std::string key = Jp("C:\\ソフト\\Let's.d88");
  std::string long40k(40000, 'x');
  long40k += "end";
  struct Case {
    const char* name;
    std::string memo;
  } cases[] = {
      {"accented and a quote", "Pok\xC3\xA9mon it's"},
      {"longer than 32770 bytes", long40k},
      {"emoji outside CP932", "\xF0\x9F\x8E\xAE game"},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(StoreMemoUtf8(db, key, c.memo)) << c.name;
    std::string read;
    ASSERT_FALSE(ReadMemoUtf8(db, key, read)) << c.name;
    EXPECT_EQ(read, c.memo) << c.name;
  }
  EXPECT_EQ(Rows(), 1);
  ASSERT_FALSE(StoreMemoUtf8(db, key, ""));
  EXPECT_EQ(Rows(), 0);
  std::string read = "stale";
  ASSERT_FALSE(ReadMemoUtf8(db, key, read));
  EXPECT_EQ(read, "");
}

TEST(MemoLeaveTest, AModifiedMemoIsOfferedForItsOwnKey) {
  std::vector<std::string> asked;
  std::vector<std::pair<std::string, std::string>> stored;
  auto store = [&](const std::string& key, const std::string& text) -> std::optional<std::string> {
    stored.push_back({key, text});
    return key == "broken" ? std::optional<std::string>("disk full") : std::nullopt;
  };
  auto answer = [&](MemoAnswer a) {
    return [&asked, a](const std::string& question) {
      asked.push_back(question);
      return a;
    };
  };
  const MemoSession item1{"item1", false};
  EXPECT_EQ(LeaveMemo(item1, true, "new", answer(MemoAnswer::kYes), store), MemoLeave::kStored);
  EXPECT_EQ(stored.back(), (std::pair<std::string, std::string>{"item1", "new"}));
  EXPECT_EQ(asked.back(), Jp("メモを保存します。\nよろしいですか？"));
  EXPECT_EQ(LeaveMemo(item1, true, "", answer(MemoAnswer::kYes), store), MemoLeave::kStored);
  EXPECT_EQ(asked.back(), Jp("メモを削除します。\nよろしいですか？"));
  EXPECT_EQ(LeaveMemo(item1, true, "x", answer(MemoAnswer::kNo), store), MemoLeave::kDiscarded);
  EXPECT_EQ(LeaveMemo(item1, true, "x", answer(MemoAnswer::kCancel), store), MemoLeave::kCancelled);
  EXPECT_EQ(LeaveMemo({"broken", false}, true, "x", answer(MemoAnswer::kYes), store), MemoLeave::kFailed);
  EXPECT_EQ(stored.size(), 3u);
  // Unmodified, read-only (combined) or keyless: nothing is asked.
  const size_t questions = asked.size();
  EXPECT_EQ(LeaveMemo(item1, false, "x", answer(MemoAnswer::kYes), store), MemoLeave::kUnchanged);
  EXPECT_EQ(LeaveMemo({"item1", true}, true, "x", answer(MemoAnswer::kYes), store), MemoLeave::kUnchanged);
  EXPECT_EQ(LeaveMemo({"", false}, true, "x", answer(MemoAnswer::kYes), store), MemoLeave::kUnchanged);
  EXPECT_EQ(asked.size(), questions);
}

}  // namespace
}  // namespace vel
