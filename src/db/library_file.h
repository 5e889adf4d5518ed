#pragma once
// What a file chosen as the library holds, checked before the program
// switches to it: switching to a file that is not a library would end every
// later start before the window appears.
#include <string>

namespace vel {

enum class LibraryFileKind {
  kNew,         // no such file: a library is made there
  kEmpty,       // an empty file or an empty database: a library is made in it
  kLibrary,     // a database holding the library's tables
  kNotLibrary,  // anything else (another program's database, a text file, ...)
};

LibraryFileKind CheckLibraryFile(const std::string& path);

// True for the three kinds the program can open as its library.
inline bool CanHoldLibrary(LibraryFileKind kind) { return kind != LibraryFileKind::kNotLibrary; }

}  // namespace vel
