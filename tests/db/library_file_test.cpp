#include "db/library_file.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(LibraryFile, OnlyALibraryOrAFileToMakeOneInIsAccepted) {
  test::TempFolder folder;
  auto database = [&](const std::string& name, const std::string& sql) {
    std::string path = folder / name;
    LibraryConnection db;
    db.Open(path, "");
    EXPECT_FALSE(db.Query(sql));
    return path;
  };
  std::string library = folder / Jp("ソフト表.db");
  {
    LibraryConnection db;
    db.Open(library, "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  std::string text = folder / "notes.txt";
  test::WriteWholeFile(text, "[dbfile]\r\ndistination=x\r\n");
  std::string empty = folder / "empty.db";
  test::WriteWholeFile(empty, "");
  std::string subfolder = folder / "folder.db";
  ASSERT_TRUE(CreateFolder(subfolder));
  struct Case {
    std::string path;
    LibraryFileKind kind;
  } cases[] = {
      {library, LibraryFileKind::kLibrary},
      {folder / "missing.db", LibraryFileKind::kNew},
      {empty, LibraryFileKind::kEmpty},
      {database("blank.db", "CREATE TABLE t(a); DROP TABLE t;"), LibraryFileKind::kEmpty},
      {text, LibraryFileKind::kNotLibrary},
      {database("other.db", "CREATE TABLE accounts(id, name);"), LibraryFileKind::kNotLibrary},
      {subfolder, LibraryFileKind::kNotLibrary},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckLibraryFile(c.path), c.kind) << AnsiToUtf8(c.path);
    EXPECT_EQ(CanHoldLibrary(CheckLibraryFile(c.path)), c.kind != LibraryFileKind::kNotLibrary);
  }
  // Looking leaves every file as it was.
  EXPECT_EQ(test::ReadWholeFile(text), "[dbfile]\r\ndistination=x\r\n");
  EXPECT_FALSE(FileExists(folder / "missing.db"));
  EXPECT_EQ(test::ReadWholeFile(empty), "");
}

}  // namespace
}  // namespace vel
