#pragma once
// The library's image files as a test for what a clean-up must never delete
// and what an extraction folder must not be.
#include "launch/extraction_journal.h"

namespace vel {

class LibraryConnection;

// True for a file that is an image of the library (the file part of any
// key: the file itself, or the archive of an archive member) and for a
// folder that holds one. When the library cannot be read, everything counts
// as an image, so that nothing is deleted on a guess.
KeptImageTest LibraryImageTest(LibraryConnection& db);

// True when a folder (relative ones taken from the base folder) holds images
// of the library or is a snapshot folder of a machine: deleting everything
// in it after a run would take what the user keeps there.
bool HoldsUsersFiles(LibraryConnection& db, const std::string& folder, const std::string& baseFolder);

}  // namespace vel
