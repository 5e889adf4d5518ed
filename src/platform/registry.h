#pragma once
// The Windows registry, value by value, as the settings rewrite needs it.
// A key is named by its root ("HKEY_CURRENT_USER", exact upper case) and a
// subkey. Off Windows an in-process registry stands in, so that the same
// rewrite and restore paths run in the native tests.
#include <cstdint>
#include <string>

namespace vel {

enum RegistryType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegMultiSz = 7,
  kRegQword = 11,
};

inline bool IsRegistryStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// A value's type and bytes. In "program form" strings are CP932 text with
// their terminating zeros; in "stored form" they are the bytes exactly as the
// registry keeps them (UTF-16 on Windows), so that a value read and written
// back in stored form comes back byte for byte.
struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::string data;
};

// True for the five root names, in exact upper case.
bool IsRegistryRoot(const std::string& root);

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Opens an existing key to read and write its values; false when the root
  // is unknown, the key is missing or access is refused.
  bool Open(const std::string& root, const std::string& subkey);
  void Close();

  // False when the value is missing or cannot be read.
  bool Read(const std::string& name, RegistryValue& value) const;        // program form
  bool ReadStored(const std::string& name, RegistryValue& value) const;  // stored form
  // Creates or replaces a value; false when it could not be written.
  bool Write(const std::string& name, const RegistryValue& value);        // program form
  bool WriteStored(const std::string& name, const RegistryValue& value);  // stored form
  // False when the value could not be deleted (a missing value included).
  bool Delete(const std::string& name);

 private:
  void* handle_ = nullptr;
};

// True only when the key does not exist (a key that refuses access exists).
bool RegistryKeyIsMissing(const std::string& root, const std::string& subkey);

// Creates a key with its missing parents (set-up of tests and fixtures).
bool CreateRegistryKey(const std::string& root, const std::string& subkey);
// Removes a key with everything under it; true when it is gone.
bool DeleteRegistryTree(const std::string& root, const std::string& subkey);

#ifndef _WIN32
// The stand-in's form of a key whose values may be read but not written or
// deleted (as access rights refuse it on Windows), for tests of failing writes.
void RefuseRegistryWrites(const std::string& root, const std::string& subkey, bool refuse);
#endif

}  // namespace vel
