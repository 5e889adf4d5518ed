#include "archiver_libraries_win.h"

#include <cstring>

#include "maintenance/import_rules.h"
#include "platform/codepage.h"

namespace vel {
namespace {

// The per-file record of the listing entries: five 32-bit fields and three
// 16-bit fields, then the member name (513 bytes) at offset 26, then fields
// we do not read. The buffer is larger than any form of the record.
constexpr size_t kRecordBytes = 2048;
constexpr size_t kNameOffset = 26;
constexpr size_t kNameBytes = 513;

template <typename Fn>
Fn Entry(HMODULE module, const std::string& name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name.c_str())));
}

}  // namespace

ArchiverLibraries::ArchiverLibraries(std::string systemFolder, bool fromSystemFolder)
    : systemFolder_(std::move(systemFolder)), fromSystemFolder_(fromSystemFolder) {}

ArchiverLibraries::~ArchiverLibraries() {
  for (Library& library : libraries_)
    if (library.module) FreeLibrary(library.module);
}

ArchiverLibraries::Library* ArchiverLibraries::Load(const std::string& extension) {
  for (Library& library : libraries_) {
    if (extension != library.extension) continue;
    if (!library.tried) {
      library.tried = true;
      std::string path = fromSystemFolder_ ? systemFolder_ + "\\" + library.file : library.file;
      library.module = LoadLibraryA(path.c_str());
      if (library.module) {
        std::string prefix = library.prefix;
        library.open = Entry<OpenFn>(library.module, prefix + "OpenArchive");
        library.findFirst = Entry<FindFirstFn>(library.module, prefix + "FindFirst");
        library.findNext = Entry<FindNextFn>(library.module, prefix + "FindNext");
        library.close = Entry<CloseFn>(library.module, prefix + "CloseArchive");
      }
    }
    return &library;
  }
  return nullptr;
}

bool ArchiverLibraries::List(const std::string& archivePath, std::vector<std::string>& members,
                             std::string& problem) {
  Library* library = Load(LowerAscii(ExtensionOf(archivePath)));
  if (!library) {
    problem = Jp("対応していない形式のアーカイブです");
    return false;
  }
  if (!library->module || !library->open || !library->findFirst || !library->findNext || !library->close) {
    problem = std::string(library->file) + Jp(" が使えないためスキップしました");
    return false;
  }
  HANDLE archive = library->open(nullptr, archivePath.c_str(), 0);
  if (!archive) {
    problem = Jp("アーカイブを開けません");
    return false;
  }
  std::vector<char> record(kRecordBytes, '\0');
  for (int found = library->findFirst(archive, "*.*", record.data()); found == 0;
       found = library->findNext(archive, record.data())) {
    const char* name = record.data() + kNameOffset;
    members.emplace_back(name, strnlen(name, kNameBytes));
    std::memset(record.data(), 0, record.size());
  }
  library->close(archive);
  return true;
}

}  // namespace vel
