#include <windows.h>


#include "platform/registry.h"
#include "platform/wide_text_win.h"

namespace vel {
namespace {

HKEY RootKey(const std::string& root) {
  if (root == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (root == "HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
  if (root == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (root == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (root == "HKEY_USERS") return HKEY_USERS;
  return nullptr;
}

HKEY Handle(void* handle) { return static_cast<HKEY>(handle); }

// Reads with the A or W query, growing the buffer until the value fits.
template <typename Query>
bool ReadWith(Query query, RegistryValue& value) {
  DWORD type = 0, size = 0;
  LONG status = query(&type, nullptr, &size);
  if (status != ERROR_SUCCESS) return false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string data(size + 2, '\0');
    DWORD got = static_cast<DWORD>(data.size());
    status = query(&type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_SUCCESS) {
      data.resize(got);
      value.type = type;
      value.data = std::move(data);
      return true;
    }
    if (status != ERROR_MORE_DATA) return false;
    size = got > size ? got : size * 2 + 16;
  }
  return false;
}

}  // namespace

bool IsRegistryRoot(const std::string& root) { return RootKey(root) != nullptr; }

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Close() {
  if (handle_) RegCloseKey(Handle(handle_));
  handle_ = nullptr;
}

bool RegistryKey::Open(const std::string& root, const std::string& subkey) {
  Close();
  HKEY rootKey = RootKey(root);
  if (!rootKey) return false;
  HKEY key = nullptr;
  if (RegOpenKeyExW(rootKey, WideFromAnsi(subkey).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
      ERROR_SUCCESS)
    return false;
  handle_ = key;
  return true;
}

bool RegistryKey::Read(const std::string& name, RegistryValue& value) const {
  if (!handle_) return false;
  return ReadWith(
      [&](DWORD* type, BYTE* data, DWORD* size) {
        return RegQueryValueExA(Handle(handle_), name.c_str(), nullptr, type, data, size);
      },
      value);
}

bool RegistryKey::ReadStored(const std::string& name, RegistryValue& value) const {
  if (!handle_) return false;
  std::wstring wideName = WideFromAnsi(name);
  return ReadWith(
      [&](DWORD* type, BYTE* data, DWORD* size) {
        return RegQueryValueExW(Handle(handle_), wideName.c_str(), nullptr, type, data, size);
      },
      value);
}

bool RegistryKey::Write(const std::string& name, const RegistryValue& value) {
  return handle_ &&
         RegSetValueExA(Handle(handle_), name.c_str(), 0, value.type,
                        reinterpret_cast<const BYTE*>(value.data.data()),
                        static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool RegistryKey::WriteStored(const std::string& name, const RegistryValue& value) {
  return handle_ &&
         RegSetValueExW(Handle(handle_), WideFromAnsi(name).c_str(), 0, value.type,
                        reinterpret_cast<const BYTE*>(value.data.data()),
                        static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool RegistryKey::Delete(const std::string& name) {
  return handle_ && RegDeleteValueW(Handle(handle_), WideFromAnsi(name).c_str()) == ERROR_SUCCESS;
}

bool RegistryKeyIsMissing(const std::string& root, const std::string& subkey) {
  HKEY rootKey = RootKey(root);
  if (!rootKey) return false;
  HKEY key = nullptr;
  LONG status = RegOpenKeyExW(rootKey, WideFromAnsi(subkey).c_str(), 0, KEY_READ, &key);
  if (status == ERROR_SUCCESS) RegCloseKey(key);
  return status == ERROR_FILE_NOT_FOUND;
}

bool CreateRegistryKey(const std::string& root, const std::string& subkey) {
  HKEY rootKey = RootKey(root);
  HKEY key = nullptr;
  if (!rootKey || RegCreateKeyExW(rootKey, WideFromAnsi(subkey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool DeleteRegistryTree(const std::string& root, const std::string& subkey) {
  HKEY rootKey = RootKey(root);
  if (!rootKey || subkey.empty()) return false;
  LONG status = RegDeleteTreeW(rootKey, WideFromAnsi(subkey).c_str());
  if (status == ERROR_SUCCESS) RegDeleteKeyW(rootKey, WideFromAnsi(subkey).c_str());
  HKEY key = nullptr;
  if (RegOpenKeyExW(rootKey, WideFromAnsi(subkey).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
    return false;
  }
  return true;
}

}  // namespace vel
