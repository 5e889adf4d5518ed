#pragma once
// Names of extracted and copied images, walked by CP932 character (a trail
// byte can be 0x5C, the backslash, or a letter).
#include <string>

namespace vel {

// The last component of a stored member name, after its last '\' or '/'.
std::string OwnFileName(const std::string& storedName);
// True when the name can name a file inside a folder: not empty, not "." or
// "..", and no character a file name cannot hold (: " < > | ? * / \ or a
// control character).
bool UsableFileName(const std::string& name);
// The folder and the name with one backslash between them.
std::string JoinFolder(const std::string& folder, const std::string& name);

}  // namespace vel
