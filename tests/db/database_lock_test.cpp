#include "db/database_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "test_support.h"

namespace vel {
namespace {

class DatabaseLockTest : public testing::Test {
 protected:
  void SetUp() override {
    LibraryConnection db;
    db.Open(path, "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  // The computer named by the lock row, or "<none>" without a row.
  std::string Holder() {
    LibraryConnection db;
    db.Open(path, "");
    EXPECT_FALSE(db.Query("SELECT str FROM vel_table WHERE key='db_open_client';"));
    return db.RowCount() == 0 ? "<none>" : db.Cell(1, 0);
  }
  void SetHolder(const std::string& name) {
    LibraryConnection db;
    db.Open(path, "");
    ASSERT_FALSE(db.Query("INSERT OR REPLACE INTO vel_table(key,str) VALUES('db_open_client','" +
                          Quote(name) + "');"));
  }
  test::TempFolder folder;
  std::string path = folder / "Velmarook.db";
};

TEST_F(DatabaseLockTest, FreeLockIsTakenWithoutAQuestion) {
  test::ScriptedAnswers answers;
  EXPECT_EQ(AcquireDatabaseLock(path, "", "PC-ONE"), LockOutcome::Taken);
  EXPECT_EQ(Holder(), "PC-ONE");
  // A second start on the same computer finds its own name.
  EXPECT_EQ(AcquireDatabaseLock(path, "", "PC-ONE"), LockOutcome::AlreadyOurs);
  EXPECT_EQ(Holder(), "PC-ONE");
  EXPECT_TRUE(answers.Asked().empty());
}

TEST_F(DatabaseLockTest, ComputerNameWithAQuoteIsStoredAsIs) {
  test::ScriptedAnswers answers;
  EXPECT_EQ(AcquireDatabaseLock(path, "", "O'BRIEN"), LockOutcome::Taken);
  EXPECT_EQ(Holder(), "O'BRIEN");
  EXPECT_TRUE(answers.Asked().empty());
}

TEST_F(DatabaseLockTest, AnotherComputerIsAskedAbout) {
  struct Case {
    const char* holder;
    int answer;
    LockOutcome outcome;
    const char* holderAfter;
  } cases[] = {
      {"PC-TWO", kIdYes, LockOutcome::Refused, "PC-TWO"},
      {"PC-TWO", kIdNo, LockOutcome::Taken, "PC-ONE"},
      // Only "No" takes the lock over; anything else leaves it.
      {"PC-TWO", kIdCancel, LockOutcome::Refused, "PC-TWO"},
      // Names are compared with letter case.
      {"pc-one", kIdYes, LockOutcome::Refused, "pc-one"},
      {"pc-one", kIdNo, LockOutcome::Taken, "PC-ONE"},
  };
  for (const Case& c : cases) {
    SetHolder(c.holder);
    test::ScriptedAnswers answers({c.answer});
    EXPECT_EQ(AcquireDatabaseLock(path, "", "PC-ONE"), c.outcome) << c.holder << " " << c.answer;
    EXPECT_EQ(Holder(), c.holderAfter) << c.holder << " " << c.answer;
    ASSERT_EQ(answers.Asked().size(), 1u);
    const MessageRequest& asked = answers.Asked()[0];
    EXPECT_EQ(asked.caption, Jp("外部DB参照の競合"));
    EXPECT_EQ(asked.text, Jp("既に ") + c.holder + Jp(" がDB(") + path +
                              Jp(")を開いているようです。\n\n終了します。\n※「いいえ」で強制的に ") +
                              "PC-ONE" + Jp(" がDBを開きます。"));
    EXPECT_EQ(asked.flags, static_cast<unsigned>(kMbYesNo | kMbIconWarning));
  }
}

TEST_F(DatabaseLockTest, ReleaseRemovesOnlyThisComputersRow) {
  // Another computer took the lock over from this one: its row stays.
  SetHolder("PC-TWO");
  ReleaseDatabaseLock(path, "", "PC-ONE");
  EXPECT_EQ(Holder(), "PC-TWO");
  // Names are compared with letter case, as the lock test does.
  ReleaseDatabaseLock(path, "", "pc-two");
  EXPECT_EQ(Holder(), "PC-TWO");
  ReleaseDatabaseLock(path, "", "PC-TWO");
  EXPECT_EQ(Holder(), "<none>");
  // Releasing a free lock is no error, and the version row stays.
  ReleaseDatabaseLock(path, "", "PC-TWO");
  LibraryConnection db;
  db.Open(path, "");
  ASSERT_FALSE(db.Query("SELECT ver FROM vel_table ;"));
  EXPECT_EQ(db.Cell(1, 0), kSchemaVersion);
}

TEST_F(DatabaseLockTest, TwoComputersStartingAtOnceEndWithOneQuestion) {
  // A third connection holds a write transaction while both start, so that
  // both read the lock row at the same moment as far as they can.
  LibraryConnection writer;
  writer.Open(path, "");
  ASSERT_FALSE(writer.Query("BEGIN IMMEDIATE;"));
  std::mutex asking;
  std::vector<std::string> asked;
  test::AnsweredBy answers([&](const MessageRequest& request) {
    std::lock_guard<std::mutex> lock(asking);
    asked.push_back(request.text);
    return static_cast<int>(kIdYes);  // leave it with the computer that has it
  });
  LockOutcome one = LockOutcome::Refused, two = LockOutcome::Refused;
  std::thread first([&] { one = AcquireDatabaseLock(path, "", "PC-ONE"); });
  std::thread second([&] { two = AcquireDatabaseLock(path, "", "PC-TWO"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_FALSE(writer.Query("COMMIT;"));
  first.join();
  second.join();
  ASSERT_EQ(asked.size(), 1u);
  ASSERT_NE(one, two);
  const std::string winner = one == LockOutcome::Taken ? "PC-ONE" : "PC-TWO";
  EXPECT_EQ(Holder(), winner);
  EXPECT_NE(asked[0].find(Jp("既に ") + winner + Jp(" がDB(")), std::string::npos);
  // The one that was refused gives nothing back at its end.
  ReleaseDatabaseLock(path, "", winner == "PC-ONE" ? "PC-TWO" : "PC-ONE");
  EXPECT_EQ(Holder(), winner);
}

TEST_F(DatabaseLockTest, ARowChangedDuringTheQuestionIsReadAgain) {
  SetHolder("PC-TWO");
  std::vector<std::string> asked;
  test::AnsweredBy answers([&](const MessageRequest& request) {
    asked.push_back(request.text);
    // While the user decides, PC-TWO ends and PC-THREE starts.
    if (asked.size() == 1) SetHolder("PC-THREE");
    return static_cast<int>(kIdNo);
  });
  EXPECT_EQ(AcquireDatabaseLock(path, "", "PC-ONE"), LockOutcome::Taken);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find("PC-TWO"), std::string::npos);
  EXPECT_NE(asked[1].find("PC-THREE"), std::string::npos);
  EXPECT_EQ(Holder(), "PC-ONE");
}

TEST(DatabaseLockNewFile, WorksOnABrandNewDatabase) {
  test::TempFolder folder;
  const std::string path = folder / Jp("共有ソフト表.db");
  test::ScriptedAnswers answers;
  std::string shown;
  SetSqlErrorPresenter([&](const SqlErrorReport& report) { shown = report.error; });
  EXPECT_EQ(AcquireDatabaseLock(path, "", "PC-ONE"), LockOutcome::Taken);
  SetSqlErrorPresenter(nullptr);
  EXPECT_EQ(shown, "");
  EXPECT_TRUE(answers.Asked().empty());

  LibraryConnection db;
  db.Open(path, "");
  ASSERT_FALSE(db.Query("SELECT str FROM vel_table WHERE key='db_open_client';"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "PC-ONE");
  // The rest of the schema comes later; the version row must still come first.
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(db.Query("SELECT ver FROM vel_table ;"));
  EXPECT_EQ(db.Cell(1, 0), kSchemaVersion);
  db.Close();

  ReleaseDatabaseLock(path, "", "PC-ONE");
  EXPECT_EQ(AcquireDatabaseLock(path, "", "PC-TWO"), LockOutcome::Taken);
  EXPECT_TRUE(answers.Asked().empty());
}

}  // namespace
}  // namespace vel
