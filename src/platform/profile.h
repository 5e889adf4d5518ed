#pragma once
// Settings files in INI form, read and written key by key. A missing file or
// key yields the default; writing creates the file, section and key as needed.
#include <string>

namespace vel {

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& file);

// Reads a value whole, however long. Returns false (and leaves `value` holding
// what could be read) only when the value could not be read whole; a caller
// must then not write it back.
bool ReadProfileText(const std::string& section, const std::string& key,
                       const std::string& defaultValue, const std::string& file,
                       std::string& value);

// Convenience for values a caller only displays or uses read-only.
std::string ProfileText(const std::string& section, const std::string& key,
                          const std::string& defaultValue, const std::string& file);

// Returns false when the file could not be written.
bool WriteProfileText(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file);

// Removes a key; false when the file could not be written.
bool DeleteProfileKey(const std::string& section, const std::string& key, const std::string& file);

}  // namespace vel
