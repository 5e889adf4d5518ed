#pragma once
// The archiver libraries of the common archiver interface, as the program
// uses them: listing an archive's members and running an extraction command.
// The Windows side loads the real libraries (archivers_win.h); tests give a
// set of their own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vel {

enum class ArchiverId { kUnlha, kUnZip, kUnrar, kSevenZip };
inline constexpr int kArchiverCount = 4;

struct ArchiverNames {
  const char* file;    // the library's file name, e.g. "unlha32.dll"
  const char* prefix;  // of its entry names; the command entry is the prefix itself
};
const ArchiverNames& NamesOf(ArchiverId id);

// The per-file record the listing entries fill: five 32-bit and three 16-bit
// fields, then the member name as stored (513 bytes) at offset 26, then
// fields the program does not read. A buffer of kArchiverRecordBytes is
// larger than any form of the record.
inline constexpr std::size_t kArchiverRecordBytes = 2048;
inline constexpr std::size_t kArchiverCrcOffset = 8;  // the third 32-bit field
inline constexpr std::size_t kArchiverNameOffset = 26;
inline constexpr std::size_t kArchiverNameBytes = 513;

// One library's entry points. Window and archive handles are passed through
// untouched; an entry the library lacks fails (null archive, -1 otherwise).
class Archiver {
 public:
  virtual ~Archiver() = default;
  // Opens an archive for listing (mode 0); null when it cannot be opened.
  virtual void* OpenArchive(void* owner, const char* path) = 0;
  // 0 while a member was found and written into the record.
  virtual int FindFirst(void* archive, const char* wildcard, void* record) = 0;
  virtual int FindNext(void* archive, void* record) = 0;
  virtual int CloseArchive(void* archive) = 0;
  // Runs a command line without an output buffer; 0 on success.
  virtual int Command(void* owner, const char* commandLine) = 0;
};

// A member as its listing record gives it: the name as stored and the CRC the
// archive keeps for it (CRC-16 in LZH archives, CRC-32 in the others).
struct ListedMember {
  std::string name;
  std::uint32_t crc = 0;
};

// Every member of an archive, walking the entries with "*.*" (a name that
// fills the record's whole field was cut by it). False when the archive
// cannot be opened.
bool ListMembers(Archiver& archiver, const std::string& archivePath, void* owner,
                 std::vector<ListedMember>& members);

class ArchiverSet {
 public:
  virtual ~ArchiverSet() = default;
  // The library's entry points, or null when it is not loaded.
  virtual Archiver* Loaded(ArchiverId id) = 0;
};

}  // namespace vel
