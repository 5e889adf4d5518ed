#include "launch/settings_rewrite.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "core/cp932_text.h"
#include "launch/journal_records.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/input_file.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

// ---------------------------------------------------------------------------
// Text helpers

std::string TrimSpaces(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& word) {
  return text.size() >= word.size() && EqualsIgnoringCase(text.substr(0, word.size()), word);
}

// Carriage returns removed, one line feed at the end, none at the start.
std::string NormalizeLines(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 1);
  for (char c : text)
    if (c != '\r') out += c;
  if (out.empty() || out.back() != '\n') out += '\n';
  size_t first = out.find_first_not_of('\n');
  return first == std::string::npos ? std::string() : out.substr(first);
}

// A path that names no drive and does not start at a root.
bool IsRelativePath(const std::string& path) {
  if (path.empty()) return true;
  if (path[0] == '\\' || path[0] == '/') return false;
  return !(path.size() >= 2 && path[1] == ':');
}

// Relative paths are taken from the base folder, never from the current
// directory (a file dialog moves it) nor from the Windows folder (where the
// profile functions would look for a bare file name).
std::string FromBaseFolder(const std::string& path, const std::string& baseFolder) {
  return IsRelativePath(path) && !path.empty() ? baseFolder + "\\" + path : path;
}

// A name that can only be a file in the machine's folder: no path
// characters, quote, line break or tab, and no device name.
bool IsPlainFileName(const std::string& name) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i)) {
    if (CharacterLength(name, i) == 2) continue;
    if (std::string("\\/<>:|?*\"\r\n\t").find(name[i]) != std::string::npos) return false;
  }
  std::string stem = name.substr(0, name.find('.'));
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONFIG$"};
  for (const char* device : kDevices)
    if (stem == device) return false;
  return !(stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9');
}

// The whole file; "" when it is missing, unreadable or empty.
std::string ReadFileBytes(const std::string& path) {
  InputFile file;
  if (path.empty() || !file.Open(path) || file.Size() <= 0) return {};
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  if (!file.ReadExactly(0, bytes.data(), bytes.size())) return {};
  return bytes;
}

// ---------------------------------------------------------------------------
// Dialogs

const std::string& ContinueQuestion() {
  static const std::string text = Jp("\n\nテストを続行しますか？");
  return text;
}

// A failing entry in the test: Yes goes on, No ends the test.
bool AskToContinue(const std::string& text, const char* stage, void* owner) {
  return ShowMessage(text + ContinueQuestion(), stage, kMbYesNo | kMbIconWarning, owner) == kIdYes;
}

void ReportSuccess(const std::string& text, const char* stage, void* owner) {
  ShowMessage(text, stage, kMbOk | kMbIconInformation, owner);
}

// ---------------------------------------------------------------------------
// Registry data

bool ParseDecimal(const std::string& text, bool negativeAllowed, std::uint64_t limit,
                  std::uint64_t& value) {
  std::string digits = TrimSpaces(text);
  bool negative = negativeAllowed && !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  if (digits.empty() || digits.size() > 20 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  std::uint64_t number = 0;
  for (char c : digits) {
    std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (number > (UINT64_MAX - digit) / 10) return false;
    number = number * 10 + digit;
  }
  if (negative) {
    if (number == 0 || number - 1 > limit / 2) return false;
    value = (limit - number + 1);  // two's complement within the width
    return true;
  }
  if (number > limit) return false;
  value = number;
  return true;
}

std::string LittleEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

}  // namespace

bool RegistryDataFromText(std::uint32_t type, const std::string& text, std::string& data) {
  data.clear();
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
      data = text;
      data += '\0';
      return true;
    case kRegMultiSz: {
      // The first character separates the strings; an empty string would end
      // the list early, so empty parts are left out.
      if (!text.empty()) {
        size_t separatorLength = CharacterLength(text, 0);
        std::string separator = text.substr(0, separatorLength);
        std::string part;
        for (size_t i = separatorLength; i <= text.size();) {
          bool atEnd = i == text.size();
          if (atEnd || text.compare(i, separatorLength, separator) == 0) {
            if (!part.empty()) data += part + '\0';
            part.clear();
            if (atEnd) break;
            i += separatorLength;
          } else {
            size_t length = CharacterLength(text, i);
            part += text.substr(i, length);
            i += length;
          }
        }
      }
      data += '\0';
      return true;
    }
    case kRegDword:
    case kRegDwordBigEndian: {
      std::uint64_t value = 0;
      if (!ParseDecimal(text, true, 0xFFFFFFFFull, value)) return false;
      data = LittleEndian(value, 4);
      if (type == kRegDwordBigEndian) std::reverse(data.begin(), data.end());
      return true;
    }
    case kRegQword: {
      std::uint64_t value = 0;
      if (!ParseDecimal(text, true, UINT64_MAX, value)) return false;
      data = LittleEndian(value, 8);
      return true;
    }
    case kRegBinary: {
      std::string digits;
      for (char c : text)
        if (c != ' ') digits += c;
      if (digits.size() % 2 == 1) digits.pop_back();
      for (size_t i = 0; i < digits.size(); i += 2) {
        int high = HexDigitValue(digits[i]), low = HexDigitValue(digits[i + 1]);
        if (high < 0 || low < 0) return false;
        data += static_cast<char>(high * 16 + low);
      }
      return true;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Includes

namespace {

std::string IncludePath(const std::string& name, const RewriteContext& context) {
  if (!IsPlainFileName(name)) return FromBaseFolder(name, context.baseFolder);
  std::string file = name.find('.') == std::string::npos ? name + ".inc" : name;
  return context.machineFolder + "\\" + file;
}

// Replaces every line whose trimmed text is `line` by `content`, which ends in
// one line feed; `replaced` counts the lines.
std::string ReplaceLines(const std::string& text, const std::string& line, const std::string& content,
                         int& replaced) {
  std::string out;
  replaced = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string current = text.substr(start, end - start);
    if (TrimSpaces(current) == line) {
      out += content;
      ++replaced;
    } else {
      out += current;
      if (end < text.size()) out += '\n';
    }
    start = end + 1;
  }
  return out;
}

void WarnOfTooManyIncludes(const RewriteContext& context) {
  ShowMessage(Jp("インクルードが100回を超えました。\nインクルード指定が多すぎるか、永久ループの可能性があります。\n"
                 "インクルード処理を停止して続行します。"),
              Jp("警告"), kMbOk | kMbIconInformation, context.owner);
}

}  // namespace

IncludeResult ExpandIncludes(const std::string& script, const RewriteContext& context, bool testMode) {
  IncludeResult result;
  std::string text = NormalizeLines(script);
  int includes = 0;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string::npos) end = text.size();
    std::string line = TrimSpaces(text.substr(position, end - position));
    if (!StartsWithIgnoringCase(line, "INC:")) {
      position = end + 1;
      continue;
    }
    std::string path = IncludePath(TrimSpaces(line.substr(4)), context);
    std::string content = ReadFileBytes(path);
    if (content.empty()) {
      if (testMode &&
          ShowMessage(path + Jp("がインクルードできませんでした。スキップされます。\n\nテストを続行しますか？"),
                      "inc:", kMbYesNo | kMbIconWarning, context.owner) != kIdYes) {
        result.testEnded = true;
        break;
      }
      position = end + 1;
      continue;
    }
    // The file's own last line feeds would make an empty line, which ends a
    // script: the content takes exactly one.
    std::string body = NormalizeLines(content);
    while (!body.empty() && body.back() == '\n') body.pop_back();
    // Every line replaced counts, so that a file including itself twice
    // (which doubles its lines at every step) stops as early as one that
    // includes itself once; the expanded script stays within a bound too.
    int replaced = 0;
    std::string expanded = ReplaceLines(text, line, body + "\n", replaced);
    if (includes + replaced > kMostIncludes || expanded.size() > kLargestExpandedScript) {
      WarnOfTooManyIncludes(context);
      break;
    }
    includes += replaced;
    text = NormalizeLines(expanded);
  }
  result.script = text;
  return result;
}

// ---------------------------------------------------------------------------
// Parsing

std::vector<RewriteCommand> ParseRewriteScript(const std::string& script) {
  using Kind = RewriteCommand::Kind;
  static const struct {
    const char* word;
    Kind kind;
  } kCommands[] = {
      {"INI-OPENFILE", Kind::kIniOpenFile},   {"INI-SETSECTION", Kind::kIniSetSection},
      {"INI-SETKEY", Kind::kIniSetKey},       {"INI-REWRITE", Kind::kIniRewrite},
      {"REG-OPENKEY", Kind::kRegOpenKey},     {"REG-SETVALUENAME", Kind::kRegSetValueName},
      {"REG-REWRITE", Kind::kRegRewrite},
  };
  std::vector<RewriteCommand> commands;
  size_t start = 0;
  while (start < script.size()) {
    size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    std::string line = script.substr(start, end - start);
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    if (line.empty()) break;
    start = end + 1;
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (line[0] == ' ' || line[0] == '\t') continue;  // a command word starts the line
    std::string word = TrimSpaces(line.substr(0, equals));
    for (const auto& command : kCommands) {
      if (EqualsIgnoringCase(word, command.word)) {
        commands.push_back({command.kind, TrimSpaces(line.substr(equals + 1))});
        break;
      }
    }
  }
  return commands;
}

// ---------------------------------------------------------------------------
// Rewrite and test

namespace {

struct RegistryTarget {
  std::string root;
  std::string subkey;
};

RegistryTarget SplitKeyPath(const std::string& keyPath) {
  size_t cut = std::string::npos;
  for (size_t i = 0; i < keyPath.size(); i += CharacterLength(keyPath, i))
    if (keyPath[i] == '\\' && CharacterLength(keyPath, i) == 1) {
      cut = i;
      break;
    }
  if (cut == std::string::npos) return {keyPath, ""};
  return {keyPath.substr(0, cut), keyPath.substr(cut + 1)};
}

bool IsRewritableType(std::uint32_t type) {
  return IsRegistryStringType(type) || type == kRegBinary || type == kRegDword ||
         type == kRegDwordBigEndian || type == kRegQword;
}

class ScriptRun {
 public:
  ScriptRun(const RewriteContext& context, bool test, bool backup, RewriteJournal* journal)
      : context_(context), test_(test), backup_(backup), journal_(journal) {}

  // False when the user ended the test.
  bool Run(const std::string& script) {
    std::string raw = script;
    raw.erase(std::remove(raw.begin(), raw.end(), '\r'), raw.end());
    if (raw.empty() || raw[0] == '\n') return true;  // a first empty line: nothing to do
    IncludeResult included = ExpandIncludes(raw, context_, test_);
    if (included.testEnded) return false;
    using Kind = RewriteCommand::Kind;
    for (const RewriteCommand& command : ParseRewriteScript(included.script)) {
      switch (command.kind) {
        case Kind::kIniOpenFile: file_ = FromBaseFolder(Expand(command.value), context_.baseFolder); break;
        case Kind::kIniSetSection: section_ = command.value; break;
        case Kind::kIniSetKey: key_ = command.value; break;
        case Kind::kRegOpenKey: keyPath_ = command.value; break;
        case Kind::kRegSetValueName: valueName_ = command.value; break;
        case Kind::kIniRewrite:
          if (!RewriteIni(command.value)) return false;
          break;
        case Kind::kRegRewrite:
          if (!RewriteRegistry(command.value)) return false;
          break;
      }
    }
    return true;
  }

 private:
  std::string Expand(const std::string& text) const { return context_.expand ? context_.expand(text) : text; }

  // In the test: asks whether to go on. At a launch: skips the entry.
  bool Fail(const std::string& text, const char* stage) {
    return !test_ || AskToContinue(text, stage, context_.owner);
  }

  bool RewriteIni(const std::string& value) {
    const std::string where = "\"[" + section_ + "]:" + key_ + "\"";
    const std::string invalid = Jp("\nこのキーの書き換えは無効です。");
    if (!FileExists(file_))
      return Fail("ERROR: \"" + file_ + "\"\n (" + where + ")\n" + Jp("設定ファイルが見つかりません。") + invalid,
                  "ini-OpenFile");
    if (ProfileText(section_, key_, kIniSentinel, file_) == kIniSentinel)
      return Fail("ERROR: " + where + "\n in \"" + file_ + "\"\n" + Jp("セクション又はキーが見つかりません。") +
                      invalid,
                  "ini-ReWrite");
    if (IsReadOnlyFile(file_))
      return Fail("ERROR: \"" + file_ + "\"\n (" + where + "\n" + Jp("設定ファイルは書き込み禁止です。") + invalid,
                  "ini-ReWrite");
    if (test_) {
      ReportSuccess("SUCCESS: " + where + " = " + value + "\n in \"" + file_ + "\"\n" +
                        Jp("設定ファイルにセクションとキーが正しく見つかりました。\n"
                           "このキーを書き換えてからエミュレータが起動します。"),
                    "ini-ReWrite", context_.owner);
      return true;
    }
    if (backup_) {
      std::string backup = file_ + kIniBackupSuffix;
      if (!journal_->FindIniFile(file_)) {
        JournalEntry entry;
        entry.kind = JournalEntry::Kind::kIniFile;
        entry.file = file_;
        entry.backup = backup;
        entry.ownsBackup = !FileExists(backup);
        if (!journal_->Record(entry)) return true;
      }
      // An existing copy holds the state before the first rewrite: keep it.
      CopyOneFile(file_, backup, CopyMode::kKeepExisting);
      if (!FileExists(backup)) return true;  // without a backup nothing is written
    }
    ClearFileAttributes(file_);
    WriteProfileText(section_, key_, Expand(value), file_);
    return true;
  }

  bool RewriteRegistry(const std::string& value) {
    const std::string in = "\n in [" + keyPath_ + "]\n";
    const std::string invalid = Jp("\nこのキーの書き換えは無効です。");
    RegistryTarget target = SplitKeyPath(keyPath_);
    if (!IsRegistryRoot(target.root))
      return Fail("ERROR Key: " + target.root + in + Jp("主キーの指定に誤りがあります。") + invalid, "reg-OpenKey");
    RegistryKey key;
    if (!key.Open(target.root, target.subkey))
      return Fail("ERROR SubKey: " + target.subkey + in +
                      Jp("サブキーが見つかりません。又はアクセス許可がありません。") + invalid,
                  "reg-OpenKey");
    RegistryValue current;
    if (!key.Read(valueName_, current) || !IsRewritableType(current.type))
      return Fail("ERROR ValueName: " + valueName_ + in + Jp("元のデータを参照できません。") + invalid,
                  "reg-ReWrite");
    std::string text = IsRegistryStringType(current.type) && !test_ ? Expand(value) : value;
    RegistryValue replacement;
    replacement.type = current.type;
    if (!RegistryDataFromText(current.type, text, replacement.data))
      return Fail("ERROR Value: " + text + in + Jp("書き換える値がデータの型に合いません。") + invalid,
                  "reg-ReWrite");
    RegistryValue old;
    if (!key.ReadStored(valueName_, old))
      return Fail("ERROR ValueName: " + valueName_ + in + Jp("値名が見つかりません。") + invalid, "reg-ReWrite");
    if (test_) {
      std::string testName = valueName_ + kRegistryTestSuffix;
      bool written = key.Write(testName, replacement);
      bool deleted = written && key.Delete(testName);
      if (!written || !deleted)
        return Fail("ERROR ValueName?: " + valueName_ + in +
                        Jp("値を書き換えできません。又はアクセス許可がありません。") + invalid,
                    "reg-ReWrite");
      ReportSuccess("SUCCESS: " + valueName_ + " = " + value + in +
                        Jp("レジストリのキーと値名が正しく見つかりました。\n"
                           "このキーを書き換えてからエミュレータが起動します。"),
                    "reg-ReWrite", context_.owner);
      return true;
    }
    if (backup_) {
      std::string backupName = valueName_ + kRegistryBackupSuffix;
      RegistryValue existing;
      bool backupExists = key.ReadStored(backupName, existing);
      if (!journal_->FindRegistryValue(keyPath_, valueName_)) {
        JournalEntry entry;
        entry.kind = JournalEntry::Kind::kRegistryValue;
        entry.keyPath = keyPath_;
        entry.valueName = valueName_;
        entry.old = old;
        entry.ownsBackup = !backupExists;
        if (!journal_->Record(entry)) return true;
      }
      // An existing backup holds the value before the first rewrite: keep it.
      if (!backupExists && !key.WriteStored(backupName, old)) return true;  // no backup, no write
    }
    key.Write(valueName_, replacement);
    return true;
  }

  const RewriteContext& context_;
  bool test_;
  bool backup_;
  RewriteJournal* journal_;
  std::string file_, section_, key_, keyPath_, valueName_;
};

}  // namespace

void RewriteSettings(const std::string& script, const RewriteContext& context, bool backup,
                     RewriteJournal& journal) {
  // Never while another launch decides whether to put the same settings back.
  RewriteLock lock(context.baseFolder);
  ScriptRun(context, false, backup, &journal).Run(script);
}

bool TestRewriteScript(const std::string& script, const RewriteContext& context) {
  return ScriptRun(context, true, false, nullptr).Run(script);
}

// ---------------------------------------------------------------------------
// Restore and recovery

namespace {

enum class PutBack {
  kNothingToDo,
  kPutBack,
  kFailed,
  kGone,  // the registry key was deleted: nothing is left to put back
};

PutBack RestoreIniFile(const JournalEntry& entry) {
  // No copy: another launch with the same script put the file back first, or
  // the change was never made.
  if (!FileExists(entry.backup)) return PutBack::kNothingToDo;
  if (IsReadOnlyFile(entry.file)) ClearFileAttributes(entry.file);
  if (!CopyOneFile(entry.backup, entry.file, CopyMode::kOverwrite)) return PutBack::kFailed;
  ClearFileAttributes(entry.backup);
  RemoveFile(entry.backup);
  return PutBack::kPutBack;
}

PutBack RestoreRegistryValue(const JournalEntry& entry) {
  RegistryTarget target = SplitKeyPath(entry.keyPath);
  RegistryKey key;
  // The backup value lived in the key too: with the key gone there is
  // nothing to put back, now or later.
  if (!key.Open(target.root, target.subkey))
    return RegistryKeyIsMissing(target.root, target.subkey) ? PutBack::kGone : PutBack::kFailed;
  std::string backupName = entry.valueName + kRegistryBackupSuffix;
  RegistryValue backup;
  if (key.ReadStored(backupName, backup)) {
    if (!key.WriteStored(entry.valueName, backup)) return PutBack::kFailed;
    key.Delete(backupName);  // only once the value holds it again
    return PutBack::kPutBack;
  }
  // The backup this launch made is gone without having been put back by
  // anyone: the journal still knows the old value.
  if (!entry.ownsBackup) return PutBack::kNothingToDo;
  RegistryValue current;
  if (key.ReadStored(entry.valueName, current) && current.type == entry.old.type &&
      current.data == entry.old.data)
    return PutBack::kNothingToDo;
  return key.WriteStored(entry.valueName, entry.old) ? PutBack::kPutBack : PutBack::kFailed;
}

std::string Describe(const JournalEntry& entry) {
  return entry.kind == JournalEntry::Kind::kIniFile ? entry.file : entry.keyPath + " : " + entry.valueName;
}

bool SameTarget(const JournalEntry& a, const JournalEntry& b) {
  if (a.kind != b.kind) return false;
  if (a.kind == JournalEntry::Kind::kIniFile) return EqualsIgnoringCase(a.file, b.file);
  return EqualsIgnoringCase(a.keyPath, b.keyPath) && EqualsIgnoringCase(a.valueName, b.valueName);
}

// True when a launch still running (of this instance or another) has
// rewritten the same file or value and not put it back: its emulator may
// still save the settings it runs with, so the restore is that launch's, the
// last one to end. The backup stays for it (and its journal for a crash).
bool StillUsedByAnotherLaunch(const JournalEntry& entry, const std::string& ownJournal,
                              const std::string& folder) {
  if (folder.empty()) return false;
  for (const std::string& path : JournalFilesIn(folder)) {
    if (EqualsIgnoringCase(path, ownJournal) || !IsJournalHeld(path)) continue;
    for (const JournalEntry& other : PeekJournal(path))
      if (!other.restored && SameTarget(entry, other)) return true;
  }
  return false;
}

// Callers hold the rewrite lock of `folder`.
void RestoreInto(RewriteJournal& journal, const std::string& folder, RestoreReport& report) {
  std::vector<JournalEntry>& entries = journal.Entries();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (entry->restored) continue;
    if (StillUsedByAnotherLaunch(*entry, journal.Path(), folder)) {
      journal.MarkRestored(entry->id);  // handed over
      continue;
    }
    PutBack outcome = entry->kind == JournalEntry::Kind::kIniFile ? RestoreIniFile(*entry)
                                                                  : RestoreRegistryValue(*entry);
    if (outcome == PutBack::kFailed || !journal.MarkRestored(entry->id)) {
      report.failed.push_back(Describe(*entry));
    } else if (outcome == PutBack::kPutBack) {
      report.restored.push_back(Describe(*entry));
    } else if (outcome == PutBack::kGone) {
      report.gone.push_back(Describe(*entry));
    }
  }
  journal.Finish();
}

std::string ListOf(const std::vector<std::string>& items) {
  constexpr size_t kShown = 15;
  std::string text;
  for (size_t i = 0; i < items.size() && i < kShown; ++i) text += "\n  " + items[i];
  if (items.size() > kShown) text += Jp("\n  ほか ") + std::to_string(items.size() - kShown) + Jp(" 件");
  return text;
}

}  // namespace

RestoreReport RestoreSettings(RewriteJournal& journal) {
  RestoreReport report;
  const std::string folder = journal.Folder();
  RewriteLock lock(folder);
  RestoreInto(journal, folder, report);
  return report;
}

RestoreReport RecoverLeftBehindRewrites(const std::string& baseFolder) {
  RestoreReport report;
  RewriteLock lock(baseFolder);
  for (const std::string& path : JournalFilesIn(baseFolder)) {
    RewriteJournal journal;
    if (journal.TakeLeftBehind(path)) RestoreInto(journal, baseFolder, report);
  }
  return report;
}

bool ReportRecovery(const RestoreReport& report, void* owner) {
  if (report.restored.empty() && report.failed.empty() && report.gone.empty()) return false;
  std::string text;
  if (!report.restored.empty())
    text += Jp("エミュレータの終了後に戻されないまま残っていた設定を、書き換える前の状態に戻しました。") +
            ListOf(report.restored);
  if (!report.failed.empty()) {
    if (!text.empty()) text += "\n\n";
    text += Jp("次の設定は元に戻せませんでした。バックアップは残してあり、次の起動時にもう一度戻します。") +
            ListOf(report.failed);
  }
  if (!report.gone.empty()) {
    if (!text.empty()) text += "\n\n";
    text += Jp("次の設定はレジストリのキーごと削除されていたため、戻すものがありませんでした（バックアップもキーと共に削除されています）。") +
            ListOf(report.gone);
  }
  bool allBack = report.failed.empty() && report.gone.empty();
  ShowMessage(text, Jp("確認"), kMbOk | (allBack ? kMbIconInformation : kMbIconWarning), owner);
  return true;
}

bool RecoverAndReport(const std::string& baseFolder, void* owner) {
  return ReportRecovery(RecoverLeftBehindRewrites(baseFolder), owner);
}

}  // namespace vel
