#pragma once
// A rename-data plug-in: a library of the plugin folder that looks keys up in
// list data it alone understands. Its texts are read through the two-call
// protocol, guarded against a plug-in that announces more than it may write,
// leaves a text unterminated or fails the second call.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vel {

// The data exports, in the order they are called and shown.
enum RenameField : int {
  kRnTitle, kRnMaker, kRnCountry, kRnVersion, kRnYear, kRnImageNumber, kRnGenre, kRnAdult,
  kRnCreator, kRnMemo, kRnKana, kRnDeveloper, kRnSaleDate, kRnPrice, kRnModel, kRnMedia,
  kRnDevice, kRnPlayers, kRnSaveData, kRnSound, kRnRating,
};
inline constexpr int kRenameFieldCount = 21;

struct RenameFieldInfo {
  const char* exportName;
  const char* boxText;  // CP932 once converted with Jp()
  bool number;          // a number getter (year, image number, R)
  std::size_t limit;    // bytes of text kept
};
const RenameFieldInfo& RenameFieldOf(int field);

// Key codes passed to the plug-in.
enum RenameKeyType : std::int16_t { kKeyCrc32 = 0, kKeyCrc16 = 16, kKeyFileTitle = 100, kKeyFileName = 101 };

class RenamePlugin {
 public:
  RenamePlugin() = default;
  ~RenamePlugin();
  RenamePlugin(const RenamePlugin&) = delete;
  RenamePlugin& operator=(const RenamePlugin&) = delete;

  // Loads the library by its full path and resolves its exports; false when
  // it cannot be loaded (not a library, another architecture).
  bool Load(const std::string& path);
  void Release();
  bool Loaded() const { return library_ != nullptr; }
  bool HasField(int field) const { return fields_[static_cast<size_t>(field)] != nullptr; }
  // At least one data export: the plug-in can be run.
  bool Usable() const;

  std::string Author() const;
  std::string Info() const;
  // The version as the dialog shows it (123 as "1.23", 5 as "0.05"); "" without the export.
  std::string VersionText() const;

  // A text field: nothing when the key is not found or the second call
  // fails; the text is at most the field's limit, cut by character.
  std::optional<std::string> Text(int field, const char* list, const std::string& key,
                                  std::int16_t keyType) const;
  // A number field: the plug-in's result (negative: not found).
  int Number(int field, const char* list, const std::string& key, std::int16_t keyType) const;

 private:
  void* library_ = nullptr;
  std::array<void*, kRenameFieldCount> fields_{};
  void* author_ = nullptr;
  void* version_ = nullptr;
  void* info_ = nullptr;
};

// "1.23" for 123: at least three digits, a point after the first.
std::string PluginVersionText(int version);
// The `nya` files of a folder (sub-folders skipped), sorted by name.
std::vector<std::string> ListPluginFiles(const std::string& folder);

}  // namespace vel
