#include "maintenance/image_sets.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/file_operations.h"
#include "platform/folder_tree.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

std::string Utf8(const std::string& cp932) { return AnsiToUtf8(cp932); }

// Writes a file named by the program's (CP932, backslash) path.
void Put(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
  test::WriteWholeFile(path, bytes);
#else
  test::WriteWholeFile(NativePath(path), bytes);
#endif
}

std::string Get(const std::string& path) {
#ifdef _WIN32
  return test::ReadWholeFile(path);
#else
  return test::ReadWholeFile(NativePath(path));
#endif
}

class ImageSetsTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "library.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }

  std::string Path(const std::string& name) const { return folder.Path() + "\\" + name; }

  void Insert(const std::string& key, const std::string& machine = "PC-8801", int ply = 0,
              const std::string& parent = "", const std::string& title = "", const std::string& ext = "") {
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, title, file_title, file_ext, ply, "
                          "ply_file_name) VALUES('" + Quote(key) + "','" + Quote(machine) + "','t','" + Quote(title) +
                          "','" + Quote(ext) + "'," + std::to_string(ply) + ",'" + Quote(parent) + "');"));
  }

  // "ply/parent" of an item.
  std::string Disk(const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT ply, ply_file_name FROM main_table WHERE file_name='" + Quote(key) + "';"));
    return db.Cell(1, 0) + "/" + db.Cell(1, 1);
  }

  std::string Rows(const std::string& sql) {
    EXPECT_FALSE(db.Query(sql));
    std::string out;
    for (int row = 1; row <= db.RowCount(); ++row) {
      for (int column = 0; column < db.ColumnCount(); ++column) out += (column ? "|" : "") + db.Cell(row, column);
      out += ";";
    }
    return out;
  }

  std::string AlterEgoRows() {
    return Rows("SELECT pfile_ae, ae_file, alter_ego, IFNULL(ply_pfile_ae,'-'), IFNULL(ren_file_name,'') "
                "FROM alter_ego_table ORDER BY alter_ego;");
  }

  void AddAlterEgo(const std::string& key) {
    ASSERT_FALSE(db.Query("INSERT INTO alter_ego_table(pfile_ae, ae_file, alter_ego) VALUES('" + Quote(key) +
                          "','x','1');"));
  }

  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(ImageSetsTest, JoiningNumbersTheDroppedImagesInListOrderAndContinuesLater) {
  for (const char* key : {"a", "b", "c", "d"}) Insert(key);
  {
    test::ScriptedAnswers answers;
    EXPECT_TRUE(JoinImages(db, "a", {"c", "b"}, nullptr));
    EXPECT_TRUE(answers.Asked().empty());
  }
  EXPECT_EQ(Disk("a"), "1/");
  EXPECT_EQ(Disk("c"), "2/a");
  EXPECT_EQ(Disk("b"), "3/a");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "a|3;");
  {
    test::ScriptedAnswers answers;
    EXPECT_TRUE(JoinImages(db, "a", {"d"}, nullptr));
  }
  EXPECT_EQ(Disk("d"), "4/a");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "a|4;");
  EXPECT_EQ(Rows("SELECT count(*) FROM main_table WHERE modify IS NULL OR modify='';"), "0;");
}

TEST_F(ImageSetsTest, JoiningIsRefusedForChildrenParentsAndAlterEgoTargets) {
  Insert("parent", "PC-8801", 1);
  Insert("child", "PC-8801", 2, "parent");
  Insert("single");
  Insert("other");
  Insert("marked");
  AddAlterEgo("marked");
  struct Case {
    std::string target;
    std::vector<std::string> dragged;
    std::string message;  // "" = silently nothing
  } cases[] = {
      {"child", {"single"}, "子イメージへは結合できません"},
      {"other", {"single", "child"},
       "複数イメージ状態のアイテムは、他と結合できません。\n複数イメージ状態を解除してから結合してください。"},
      {"other", {"parent"},
       "複数イメージ状態のアイテムは、他と結合できません。\n複数イメージ状態を解除してから結合してください。"},
      {"marked", {"single"}, "分身起動アイテムへはドロップできません。"},
      {"single", {"other", "single"}, ""},
  };
  const std::string before = Rows("SELECT file_name, ply, ply_file_name FROM main_table ORDER BY file_name;");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    test::ScriptedAnswers answers;
    EXPECT_FALSE(JoinImages(db, c.target, c.dragged, nullptr));
    if (c.message.empty()) {
      EXPECT_TRUE(answers.Asked().empty());
    } else {
      ASSERT_EQ(answers.Asked().size(), 1u);
      EXPECT_EQ(Utf8(answers.Asked()[0].text), c.message);
    }
    EXPECT_EQ(Rows("SELECT file_name, ply, ply_file_name FROM main_table ORDER BY file_name;"), before);
  }
}

TEST_F(ImageSetsTest, JoiningImagesOfAnotherMachineAsksFirst) {
  Insert("a", "PC-8801");
  Insert("b", "X1");
  {
    test::ScriptedAnswers answers({kIdNo});
    EXPECT_FALSE(JoinImages(db, "a", {"b"}, nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Utf8(answers.Asked()[0].text),
              "異なる機種のイメージを複数イメージにしようとしています。\n複数イメージに設定しますか？");
    EXPECT_EQ(answers.Asked()[0].flags, kMbYesNo | kMbIconQuestion);
  }
  EXPECT_EQ(Disk("a"), "0/");
  test::ScriptedAnswers answers({kIdYes});
  EXPECT_TRUE(JoinImages(db, "a", {"b"}, nullptr));
  EXPECT_EQ(Disk("b"), "2/a");
}

TEST_F(ImageSetsTest, AFailingUpdateRollsTheWholeJoinBack) {
  for (const char* key : {"a", "b", "c"}) Insert(key);
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse_c BEFORE UPDATE ON main_table WHEN new.file_name='c' "
                        "BEGIN SELECT RAISE(ABORT,'refused'); END;"));
  test::ScriptedAnswers answers;
  EXPECT_FALSE(JoinImages(db, "a", {"b", "c"}, nullptr));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(Utf8(answers.Asked()[0].text), "メインテーブルを更新できませんでした。\nrefused");
  EXPECT_EQ(Utf8(answers.Asked()[0].caption), "DBエラー");
  EXPECT_EQ(Disk("a"), "0/");
  EXPECT_EQ(Disk("b"), "0/");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "");
}

TEST_F(ImageSetsTest, SplittingResetsOneSetButNotASetWithAnAlterEgo) {
  Insert("a", "PC-8801", 1);
  Insert("a2", "PC-8801", 2, "a");
  Insert("a3", "PC-8801", 3, "a");
  Insert("e", "PC-8801", 1);
  Insert("e2", "PC-8801", 2, "e");
  ASSERT_FALSE(RebuildMaxDiskTable(db));
  {
    test::ScriptedAnswers answers;
    EXPECT_FALSE(SplitImageSet(db, "a2", nullptr));  // a child heads nothing
    EXPECT_TRUE(SplitImageSet(db, "a", nullptr));
    EXPECT_TRUE(answers.Asked().empty());
  }
  for (const char* key : {"a", "a2", "a3"}) EXPECT_EQ(Disk(key), "0/") << key;
  EXPECT_EQ(Disk("e2"), "2/e");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "e|2;");

  AddAlterEgo("e");
  test::ScriptedAnswers answers;
  EXPECT_FALSE(SplitImageSet(db, "e", nullptr));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(Utf8(answers.Asked()[0].text),
            "分身起動アイテムは複数ディスク状態を解除できません。\n分身を解除してから再度複数ディスク状態を解除して下さい。");
  EXPECT_EQ(Disk("e2"), "2/e");
}

// A set of three: a plain parent, an archived child and a plain child.
class AlterEgoTest : public ImageSetsTest {
 protected:
  void SetUp() override {
    ImageSetsTest::SetUp();
    Put(Path("disk1.d88"), "one");
    Put(Path("set.zip"), "archive");
    Put(Path("disk3.d88"), "three");
    parent = Path("disk1.d88");
    archived = Path("set.zip") + "*DISK2.D88";
    plainChild = Path("disk3.d88");
    Insert(parent, "PC-8801", 1, "", "disk1", "d88");
    Insert(archived, "PC-8801", 2, parent, "set", "zip");
    Insert(plainChild, "PC-8801", 3, parent, "disk3", "d88");
    ASSERT_TRUE(CreateFolder(Path("base")));
  }

  MemberExtractor FakeExtractor() {
    return [this](const std::string& archive, const std::string& member, const std::string& into) {
      extracted.push_back(archive + "|" + member + "|" + into);
      Put(into + member, "extracted " + member);
      return 0;
    };
  }

  std::string Base() const { return Path("base") + "\\"; }

  std::string parent, archived, plainChild;
  std::vector<std::string> extracted;
};

TEST_F(AlterEgoTest, CreatingCopiesTheSetAndExtractsArchivedMembers) {
  {
    test::ScriptedAnswers answers;
    ASSERT_TRUE(CreateAlterEgo(db, parent, Base(), "PC_disk", FakeExtractor(), nullptr));
    EXPECT_TRUE(answers.Asked().empty());
  }
  const std::string f = Base() + "PC_disk\\";
  EXPECT_EQ(Get(f + "disk1.d88"), "one");
  EXPECT_EQ(Get(f + "DISK2.D88"), "extracted DISK2.D88");
  EXPECT_EQ(Get(f + "disk3.d88"), "three");
  EXPECT_FALSE(FileExists(f + "set.zip"));
  EXPECT_EQ(extracted, std::vector<std::string>{Path("set.zip") + "|DISK2.D88|" + f});
  EXPECT_EQ(AlterEgoRows(), parent + "|" + f + "disk1.d88|1|-|;" + archived + "|" + f + "DISK2.D88|2|" + parent +
                                "|;" + plainChild + "|" + f + "disk3.d88|3|" + parent + "|;");
  test::ScriptedAnswers answers;
  EXPECT_EQ(AlterEgoPath(db, parent, nullptr), f + "disk1.d88");
  EXPECT_EQ(AlterEgoPath(db, Path("none"), nullptr), "");
  AlterEgoFolder parts = AlterEgoFolderOf(f + "disk1.d88");
  EXPECT_EQ(parts.base, Base());
  EXPECT_EQ(parts.sub, "PC_disk");
}

TEST_F(AlterEgoTest, FolderChecksComeBeforeAnythingIsCreated) {
  const std::string base = Base();
  // The folder path with its backslash at exactly the limit, and one byte over.
  const std::string fits(kAlterEgoFolderBytes - base.size() - 1, 'f');
  struct Case {
    std::string base, sub, message;
  } cases[] = {
      {"C:", "sub", "ベースフォルダを指定してください。"},
      {base, "", "サブフォルダ名を入力してください。"},
      {base, "a|b", "サブフォルダに使用不可な文字が含まれています。"},
      {base, "..", "サブフォルダに使用不可な文字が含まれています。"},
      {base, fits + "x", "フォルダパスが長すぎます。"},
      {base, "missing\\deeper", "サブフォルダに使用不可な文字が含まれています。"},
      {Path("missing") + "\\", "sub", "フォルダを作成出来ませんでした。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sub);
    test::ScriptedAnswers answers;
    EXPECT_FALSE(CreateAlterEgo(db, parent, c.base, c.sub, FakeExtractor(), nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Utf8(answers.Asked()[0].text), Utf8(Jp(c.message)));
    EXPECT_EQ(Utf8(answers.Asked()[0].caption), "中止");
    EXPECT_TRUE(ListFolder(Path("base")).entries.empty());
    EXPECT_FALSE(DirectoryExists(Path("missing")));
  }
  EXPECT_EQ(AlterEgoRows(), "");
  {
    ASSERT_TRUE(CreateFolder(base + "taken"));
    test::ScriptedAnswers answers;
    EXPECT_FALSE(CreateAlterEgo(db, parent, base, "taken", FakeExtractor(), nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Utf8(answers.Asked()[0].text), "既に同名のフォルダが存在しているようです。");
    EXPECT_TRUE(DirectoryExists(base + "taken"));
  }
  test::ScriptedAnswers answers;
  EXPECT_TRUE(CreateAlterEgo(db, parent, Path("base"), fits, FakeExtractor(), nullptr));  // backslash added
  EXPECT_TRUE(FileExists(base + fits + "\\disk1.d88"));
}

TEST_F(AlterEgoTest, AFailureMidwayRemovesTheFolderAndLeavesNoRows) {
  struct Case {
    const char* what;
    bool extractorFails;
    std::string message;
  } cases[] = {
      {"a child is missing", false, "子イメージのコピー又は解凍が出来ませんでした。"},
      {"the archiver fails", true, "子イメージのコピー又は解凍が出来ませんでした。"},
  };
  ASSERT_TRUE(RemoveFile(plainChild));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.extractorFails) Put(plainChild, "three");
    MemberExtractor failing = [](const std::string&, const std::string&, const std::string&) { return 5; };
    test::ScriptedAnswers answers;
    EXPECT_FALSE(CreateAlterEgo(db, parent, Base(), "set", c.extractorFails ? failing : FakeExtractor(), nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Utf8(answers.Asked()[0].text), c.message);
    EXPECT_FALSE(DirectoryExists(Base() + "set"));
    EXPECT_EQ(AlterEgoRows(), "");
  }
  // A single image whose file is gone fails before the database is touched.
  Insert(Path("lost.d88"), "PC-8801", 0, "", "lost", "d88");
  test::ScriptedAnswers answers;
  EXPECT_FALSE(CreateAlterEgo(db, Path("lost.d88"), Base(), "lost", FakeExtractor(), nullptr));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(Utf8(answers.Asked()[0].text), "イメージファイルのコピー又は解凍に失敗しました。");
  EXPECT_FALSE(DirectoryExists(Base() + "lost"));
}

TEST_F(AlterEgoTest, ReleasingDeletesTheFolderAndTheRows) {
  {
    test::ScriptedAnswers answers;
    ASSERT_TRUE(CreateAlterEgo(db, parent, Base(), "set", FakeExtractor(), nullptr));
  }
  ASSERT_TRUE(CreateFolder(Base() + "set\\saves"));
  Put(Base() + "set\\saves\\state.sav", "save");
  // The copy of another item stays.
  ASSERT_FALSE(db.Query("INSERT INTO alter_ego_table(pfile_ae, ae_file, alter_ego) VALUES('other','y','1');"));
  test::ScriptedAnswers answers;
  EXPECT_TRUE(ReleaseAlterEgo(db, parent, nullptr));
  EXPECT_TRUE(answers.Asked().empty());
  EXPECT_FALSE(DirectoryExists(Base() + "set"));
  EXPECT_TRUE(DirectoryExists(Path("base")));
  EXPECT_EQ(AlterEgoRows(), "other|y|1|-|;");
  EXPECT_EQ(Get(parent), "one");
}

TEST_F(AlterEgoTest, ReleasingAFolderThatIsGoneAsksBeforeForgettingTheRows) {
  {
    test::ScriptedAnswers answers;
    ASSERT_TRUE(CreateAlterEgo(db, parent, Base(), "set", FakeExtractor(), nullptr));
  }
  ASSERT_TRUE(RemoveFolderTree(Base() + "set"));
  const std::string rows = AlterEgoRows();
  const std::string question =
      "分身作成先フォルダを削除できませんでした。\n既に削除されている可能性があります。\n\n"
      "データベースの分身情報も削除しますか？";
  {
    test::ScriptedAnswers answers({kIdNo});
    EXPECT_FALSE(ReleaseAlterEgo(db, parent, nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Utf8(answers.Asked()[0].text), question);
    EXPECT_EQ(Utf8(answers.Asked()[0].caption), "確認");
  }
  EXPECT_EQ(AlterEgoRows(), rows);
  test::ScriptedAnswers answers({kIdYes});
  EXPECT_TRUE(ReleaseAlterEgo(db, parent, nullptr));
  EXPECT_EQ(AlterEgoRows(), "");
}

TEST_F(AlterEgoTest, ReleasingNeverDeletesAFolderAboveABaseFolder) {
  ASSERT_FALSE(db.Query("INSERT INTO alter_ego_table(pfile_ae, ae_file, alter_ego) VALUES('" + Quote(parent) +
                        "','C:\\disk1.d88','1');"));
  test::ScriptedAnswers answers;
  EXPECT_FALSE(ReleaseAlterEgo(db, parent, nullptr));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_NE(AlterEgoRows(), "");
}

#ifndef _WIN32
TEST_F(AlterEgoTest, ReleasingRemovesALinkInTheFolderWithoutFollowingIt) {
  {
    test::ScriptedAnswers answers;
    ASSERT_TRUE(CreateAlterEgo(db, parent, Base(), "set", FakeExtractor(), nullptr));
  }
  ASSERT_TRUE(CreateFolder(Path("outside")));
  Put(Path("outside") + "\\keep.txt", "keep");
  ASSERT_EQ(symlink(NativePath(Path("outside")).c_str(), NativePath(Base() + "set\\link").c_str()), 0);
  ASSERT_EQ(symlink(NativePath(Path("outside") + "\\keep.txt").c_str(), NativePath(Base() + "set\\file").c_str()), 0);
  test::ScriptedAnswers answers;
  EXPECT_TRUE(ReleaseAlterEgo(db, parent, nullptr));
  EXPECT_FALSE(DirectoryExists(Base() + "set"));
  EXPECT_EQ(Get(Path("outside") + "\\keep.txt"), "keep");
}
#endif

TEST_F(AlterEgoTest, NamesALaunchChangedGoBackAfterItAndAtTheNextStart) {
  {
    test::ScriptedAnswers answers;
    ASSERT_TRUE(CreateAlterEgo(db, parent, Base(), "set", FakeExtractor(), nullptr));
  }
  const std::string f = Base() + "set\\";
  // What a launch leaves: the copies under numbered names, noted in the rows.
  auto renameLikeALaunch = [&] {
    const char* own[] = {"disk1.d88", "DISK2.D88", "disk3.d88"};
    for (int i = 0; i < 3; ++i) {
      std::string temporary = f + "0000000" + std::to_string(i + 1) + ".d88";
      ASSERT_TRUE(RenameFile(f + own[i], temporary));
      ASSERT_FALSE(db.Query("UPDATE alter_ego_table SET ren_file_name ='" + Quote(temporary) +
                            "' WHERE ae_file='" + Quote(f + own[i]) + "';"));
    }
  };
  renameLikeALaunch();
  {
    test::ScriptedAnswers answers;
    EXPECT_TRUE(RestoreAlterEgoNames(db, parent, nullptr));
    EXPECT_TRUE(answers.Asked().empty());
  }
  EXPECT_EQ(Get(f + "disk1.d88"), "one");
  EXPECT_EQ(Get(f + "DISK2.D88"), "extracted DISK2.D88");
  EXPECT_EQ(Get(f + "disk3.d88"), "three");
  EXPECT_EQ(Rows("SELECT count(*) FROM alter_ego_table WHERE ren_file_name <> '';"), "0;");

  // A copy that cannot go back keeps its temporary name for the next try.
  renameLikeALaunch();
  ASSERT_TRUE(RemoveFile(f + "00000003.d88"));
  {
    test::ScriptedAnswers answers;
    EXPECT_FALSE(RestoreAlterEgoNames(db, parent, nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_NE(answers.Asked()[0].text.find(f + "00000003.d88"), std::string::npos);
  }
  EXPECT_EQ(Rows("SELECT alter_ego FROM alter_ego_table WHERE ren_file_name <> '';"), "3;");
  Put(f + "00000003.d88", "three");

  // The start-up recovery puts back whatever is still renamed.
  ASSERT_TRUE(RenameFile(f + "disk1.d88", f + "00000001.d88"));
  ASSERT_FALSE(db.Query("UPDATE alter_ego_table SET ren_file_name ='" + Quote(f + "00000001.d88") +
                        "' WHERE alter_ego=1;"));
  test::ScriptedAnswers answers;
  EXPECT_EQ(RecoverAlterEgoNames(db, nullptr), 2);
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].flags, kMbOk | kMbIconInformation);
  EXPECT_NE(answers.Asked()[0].text.find(f + "00000001.d88 -> " + f + "disk1.d88"), std::string::npos);
  EXPECT_EQ(Get(f + "disk1.d88"), "one");
  EXPECT_EQ(Get(f + "disk3.d88"), "three");
  EXPECT_EQ(Rows("SELECT count(*) FROM alter_ego_table WHERE ren_file_name <> '';"), "0;");
  EXPECT_EQ(RecoverAlterEgoNames(db, nullptr), 0);  // nothing left: no message
}

TEST(AlterEgoNames, FolderNamesAreCheckedAndProposedCharacterByCharacter) {
  struct Valid {
    std::string name;
    bool valid;
  } names[] = {
      {"PC-8801_game", true},  {Jp("ソフト表"), true},  // trail bytes 0x5C
      {"a/b", false},          {"a\\b", false},         {"a*b", false},  {"a\tb", false},
      {"con", false},          {"COM1", false},         {"COM10", true}, {"CLOCK$", false},
      {"..", false},           {"v1.2", true},
  };
  for (const Valid& n : names) EXPECT_EQ(IsValidFolderName(n.name), n.valid) << Utf8(n.name);

  struct Proposal {
    std::string machine, title, expected;
  } proposals[] = {
      {"PC-8801", Jp("ソフト 表 1.2"), Jp("PC-8801_ソフト表1.2")},
      {"X1", "a:b c.d", "X1_abcd"},
      {"FM-7", Jp("表?"), Jp("FM-7_表")},
  };
  for (const Proposal& p : proposals)
    EXPECT_EQ(AlterEgoSubfolderName(p.machine, p.title), p.expected) << Utf8(p.title);

  AlterEgoFolder parts = AlterEgoFolderOf(Jp("C:\\ソフト\\表\\disk.d88"));
  EXPECT_EQ(parts.base, Jp("C:\\ソフト\\"));
  EXPECT_EQ(parts.sub, Jp("表"));
}

}  // namespace
}  // namespace vel
