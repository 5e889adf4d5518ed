// An in-process registry: keys and values live in memory for the life of the
// process. Key and value names match without regard to ASCII case, as the
// Windows registry's do.
#include <cctype>
#include <map>
#include <mutex>
#include <set>

#include "platform/codepage.h"
#include "platform/registry.h"

namespace vel {
namespace {

struct Registry {
  std::mutex mutex;
  // Key path (lower case) -> value name (lower case) -> value.
  std::map<std::string, std::map<std::string, RegistryValue>> keys;
  std::set<std::string> refusingWrites;
};

// Value names are limited as on Windows.
constexpr size_t kLongestValueName = 16383;

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// Lower case for single-byte letters; both bytes of a CP932 character stay.
std::string Lower(std::string text) {
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i))
    if (CharacterLength(text, i) == 1)
      text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  return text;
}

std::string KeyPath(const std::string& root, const std::string& subkey) {
  std::string path = Lower(root + "\\" + subkey);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

const std::string& PathOf(void* handle) { return *static_cast<std::string*>(handle); }

}  // namespace

bool IsRegistryRoot(const std::string& root) {
  return root == "HKEY_CLASSES_ROOT" || root == "HKEY_CURRENT_CONFIG" ||
         root == "HKEY_CURRENT_USER" || root == "HKEY_LOCAL_MACHINE" || root == "HKEY_USERS";
}

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Close() {
  delete static_cast<std::string*>(handle_);
  handle_ = nullptr;
}

bool RegistryKey::Open(const std::string& root, const std::string& subkey) {
  Close();
  if (!IsRegistryRoot(root)) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::string path = KeyPath(root, subkey);
  if (!registry.keys.count(path)) return false;
  handle_ = new std::string(path);
  return true;
}

bool RegistryKey::Read(const std::string& name, RegistryValue& value) const {
  if (!handle_) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto key = registry.keys.find(PathOf(handle_));
  if (key == registry.keys.end()) return false;
  auto found = key->second.find(Lower(name));
  if (found == key->second.end()) return false;
  value = found->second;
  return true;
}

bool RegistryKey::ReadStored(const std::string& name, RegistryValue& value) const {
  return Read(name, value);
}

bool RegistryKey::Write(const std::string& name, const RegistryValue& value) {
  if (!handle_) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto key = registry.keys.find(PathOf(handle_));
  if (key == registry.keys.end() || registry.refusingWrites.count(key->first) ||
      name.size() > kLongestValueName)
    return false;
  key->second[Lower(name)] = value;
  return true;
}

bool RegistryKey::WriteStored(const std::string& name, const RegistryValue& value) {
  return Write(name, value);
}

bool RegistryKey::Delete(const std::string& name) {
  if (!handle_) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto key = registry.keys.find(PathOf(handle_));
  return key != registry.keys.end() && !registry.refusingWrites.count(key->first) &&
         key->second.erase(Lower(name)) == 1;
}

bool RegistryKeyIsMissing(const std::string& root, const std::string& subkey) {
  if (!IsRegistryRoot(root)) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return registry.keys.count(KeyPath(root, subkey)) == 0;
}

bool CreateRegistryKey(const std::string& root, const std::string& subkey) {
  if (!IsRegistryRoot(root)) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::string path = KeyPath(root, subkey);
  for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
    registry.keys[path.substr(0, cut)];
  registry.keys[path];
  return true;
}

bool DeleteRegistryTree(const std::string& root, const std::string& subkey) {
  if (!IsRegistryRoot(root) || subkey.empty()) return false;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::string path = KeyPath(root, subkey);
  for (auto it = registry.keys.begin(); it != registry.keys.end();) {
    bool under = it->first == path || it->first.compare(0, path.size() + 1, path + "\\") == 0;
    it = under ? registry.keys.erase(it) : std::next(it);
  }
  return true;
}

void RefuseRegistryWrites(const std::string& root, const std::string& subkey, bool refuse) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (refuse) {
    registry.refusingWrites.insert(KeyPath(root, subkey));
  } else {
    registry.refusingWrites.erase(KeyPath(root, subkey));
  }
}

}  // namespace vel
