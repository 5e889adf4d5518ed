#include "db/library_file.h"

#include <cstdint>
#include <cstring>

#include "db/library_connection.h"
#include "platform/input_file.h"
#include "platform/system.h"

namespace vel {

LibraryFileKind CheckLibraryFile(const std::string& path) {
  if (!FileExists(path)) return DirectoryExists(path) ? LibraryFileKind::kNotLibrary : LibraryFileKind::kNew;
  InputFile file;
  if (!file.Open(path)) return LibraryFileKind::kNotLibrary;
  if (file.Size() == 0) return LibraryFileKind::kEmpty;
  // Every SQLite database begins with these sixteen bytes.
  static const char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
  char header[16] = {};
  if (!file.ReadExactly(0, header, sizeof header) || std::memcmp(header, kHeader, sizeof header) != 0)
    return LibraryFileKind::kNotLibrary;
  file.Close();
  LibraryConnection db;
  db.Open(path, "");
  if (db.Query("SELECT COUNT(*), SUM(name='main_table') FROM sqlite_master WHERE type='table';"))
    return LibraryFileKind::kNotLibrary;
  if (db.CellInt(1, 0) == 0) return LibraryFileKind::kEmpty;
  return db.CellInt(1, 1) > 0 ? LibraryFileKind::kLibrary : LibraryFileKind::kNotLibrary;
}

}  // namespace vel
