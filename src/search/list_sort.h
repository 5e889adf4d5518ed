#pragma once
// A new order of the loaded list made in memory: when only the order
// changes, the rows already read are put in the order the list statement
// would give, instead of reading list_view again.
#include <cstdint>
#include <string>

#include "search/sort_model.h"

namespace vel {

class LibraryConnection;

// What the loaded list was read with.
struct LoadedListStamp {
  std::uint64_t result = 0;  // the connection's result serial after the load; 0 = none
  std::string rows;          // the list statement without its ORDER BY
  std::string versions;      // LibraryVersions just before the load
  // How the statement's plan read the rows, in a form in which two plans
  // that read them in the same order are equal ("" = not known), and whether
  // it read them backwards (which reverses rows that tie in every term).
  std::string scan;
  bool backwards = false;
};

// Fills the plan part of the stamp for the statement that loads the list
// ("<rows> ORDER BY <terms of sort>", CP932).
void NoteListScan(LibraryConnection& db, const std::string& statement, const SortState& sort,
                  LoadedListStamp& stamp);

// The library's data and schema versions and the connection's own changes,
// as one text: any write, by this connection or another, changes it. ""
// when they cannot be read.
std::string LibraryVersions(LibraryConnection& db);

// Puts the rows of `db`'s result in the order "<stamp.rows> ORDER BY
// <terms of sort>" gives: SQLite's order of storage classes (NULL, numbers,
// text), numbers by value, text byte by byte (BINARY), "+0" terms by the
// number SQLite makes of the text. Rows equal in every term keep the order
// in which the statement's scan meets them: every order of the list has the
// same terms, so they stand together in the loaded result in the order of
// its scan, and the new statement's plan says whether its scan meets them in
// that order or backwards. Returns false and changes nothing when the result
// is not the one the stamp names, the library changed since, or the order
// could not be exact (changed cells, BLOBs, a collation or an encoding other
// than UTF-8 in the library, a sort column missing from the result, a plan
// whose scan order is not known). On success the stamp describes the new order.
bool SortLoadedList(LibraryConnection& db, LoadedListStamp& stamp, const std::string& rowsStatement,
                    const SortState& sort);

}  // namespace vel
