#pragma once
// The software keyboard's model: its sets and modes, the keys of a mode's
// key file, the key cursor, and what a key press does to the search text.
// The window only draws it and routes the mouse and the pad to it.
#include <string>
#include <vector>

namespace vel {

struct SoftKey {
  std::string text;  // CP932: under 3 bytes typed, otherwise a command
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const SoftKey&) const = default;
};

// The keys key00 ... key99 of section "keys" of a key file, in key order;
// absent keys and the value "?" are skipped. Fields are separated by any run
// of spaces or tabs; missing or unreadable numbers count as 0, fractions are
// cut off and numbers are bounded to +-100000.
std::vector<SoftKey> ReadSoftKeys(const std::string& keyFile);
// One value of a key file as a key; false for "?" or an empty value.
bool ParseSoftKey(const std::string& value, SoftKey& key);

// The mode names of the set file: sets from set0 up to the first without
// mode0, modes from mode0 up to the first absent one. Empty when set0 has no
// mode0 (the keyboard then shows nothing and has no keys).
using SoftKeySets = std::vector<std::vector<std::string>>;
SoftKeySets ReadSoftKeySets(const std::string& setFile);

// The keyboard folder's name from softkey\softkey.ini ("default" when absent).
std::string ReadSoftKeyboardName(const std::string& baseFolder);

// The next set (mode 0) or the next mode of the set, wrapping round; both
// stay 0 when there is nothing to step to.
void StepSoftKeySet(const SoftKeySets& sets, int& set, int& mode);
void StepSoftKeyMode(const SoftKeySets& sets, int set, int& mode);

enum class SoftKeyDirection { kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };
// The key the cursor moves to from `hovered` (-1 = none): the nearest key in
// the direction, the earlier one on equal distances; `hovered` when none.
int NearestSoftKey(const std::vector<SoftKey>& keys, int hovered, SoftKeyDirection direction);
// The first key whose rectangle holds the point (edges included), or -1.
int SoftKeyAt(const std::vector<SoftKey>& keys, int x, int y);

// The search text without its last character (a double-byte character
// counts as one).
std::string WithoutLastCharacter(const std::string& text);

// What pressing a key does.
enum class SoftKeyCommand {
  kNone, kReturn, kListUp, kListDown, kNextSet, kNextMode, kListSeek,
};
struct SoftKeyPress {
  bool textChanged = false;  // write `text` into the search box
  std::string text;
  SoftKeyCommand command = SoftKeyCommand::kNone;
};
// `text` is the whole search text; it is extended only while it stays under
// 256 bytes.
SoftKeyPress PressSoftKey(const std::string& keyText, const std::string& text);

// A list seek's parts: "LISTSEEK:" head ":" pattern, head a column name or
// label "@" column name. False when there is no ":" after "LISTSEEK:".
struct ListSeekKey {
  std::string label, column, pattern;
};
bool ParseListSeek(const std::string& keyText, ListSeekKey& seek);

// Where the keyboard goes: the offset clamped into the main window's client
// area (a negative offset becoming 0), also when the keyboard is wider.
struct SoftKeyboardPlace {
  int x = 0, y = 0;
};
SoftKeyboardPlace ClampSoftKeyboardOffset(int offsetX, int offsetY, int clientWidth, int clientHeight, int width,
                                          int height);

}  // namespace vel
