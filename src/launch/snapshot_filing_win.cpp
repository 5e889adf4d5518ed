#include "launch/snapshot_filing_win.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "core/dialog_window_win.h"
#include "display/thumbnail_cache_win.h"
#include "launch/snapshot_capture.h"
#include "launch/snapshot_capture_win.h"
#include "launch/png_writer.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "platform/wide_text_win.h"

namespace vel {
namespace {

const char* const kFolderLabels[3] = {"スナップフォルダ１", "スナップフォルダ２", "スナップフォルダ３"};

// --- ChooseSnapDlg ----------------------------------------------------------

constexpr int kDiscardId = 100;  // + folder for the three folders

LRESULT CALLBACK ChooseSnapProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int* choice = DialogData<int>(window);
  if (message == WM_COMMAND && LOWORD(wParam) >= kDiscardId && LOWORD(wParam) <= kDiscardId + 3) {
    *choice = LOWORD(wParam) - kDiscardId;
    DestroyWindow(window);
    return 0;
  }
  if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE) {
    *choice = 0;
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// --- ChooseAutoSnapDlg -------------------------------------------------------

constexpr int kListId = 200, kPreviewId = 201, kFolderComboId = 210;  // + folder index

struct AutoSnapChoice {
  const std::vector<std::string>* pictures = nullptr;
  const SnapFolders* folders = nullptr;
  HWND list = nullptr, preview = nullptr, combos[3] = {};
  int chosen[3] = {-1, -1, -1};  // picture per folder, -1 none
  bool accepted = false;
};

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

LRESULT CALLBACK ChooseAutoSnapProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AutoSnapChoice* d = DialogData<AutoSnapChoice>(window);
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        for (int f = 0; f < 3; ++f) {
          LRESULT index = SendMessageA(d->combos[f], CB_GETCURSEL, 0, 0);
          d->chosen[f] = index == CB_ERR ? -1 : static_cast<int>(index) - 1;
        }
        d->accepted = true;
        DestroyWindow(window);
        return 0;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(window);
        return 0;
      }
      if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE) InvalidateRect(d->preview, nullptr, TRUE);
      break;
    case WM_DRAWITEM: {
      // Only the picture shown is read, however many were captured.
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      FillRect(draw->hDC, &draw->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      LRESULT index = SendMessageA(d->list, LB_GETCURSEL, 0, 0);
      if (index != LB_ERR && static_cast<size_t>(index) < d->pictures->size())
        DrawThumbnail(draw->hDC, (*d->pictures)[static_cast<size_t>(index)], draw->rcItem);
      return TRUE;
    }
    case WM_CLOSE: DestroyWindow(window); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The user's picture for each folder; false when cancelled.
bool ChooseAutoSnaps(HWND owner, HINSTANCE instance, const std::vector<std::string>& pictures,
                     const SnapFolders& folders, int (&chosen)[3]) {
  AutoSnapChoice d;
  d.pictures = &pictures;
  d.folders = &folders;
  HWND dialog = CreateDialogWindow(instance, owner, "ChooseAutoSnapDlg", 600, 420, ChooseAutoSnapProcedure, &d);
  if (!dialog) return false;
  SetWindowTextA(dialog, Jp("スナップショットに使う画像の選択").c_str());
  d.list = AddControl(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP, 8, 8, 200, 360, kListId);
  for (const std::string& picture : pictures)
    SendMessageA(d.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileNameOf(picture).c_str()));
  SendMessageA(d.list, LB_SETCURSEL, 0, 0);
  d.preview = AddControl(dialog, "STATIC", "", SS_OWNERDRAW, 216, 8, 376, 240, kPreviewId);
  for (int f = 0; f < 3; ++f) {
    int y = 260 + f * 36;
    AddControl(dialog, "STATIC", Jp(kFolderLabels[f]), SS_LEFT, 216, y + 4, 130, 20, -1);
    d.combos[f] = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 350, y, 242, 200,
                             kFolderComboId + f);
    SendMessageA(d.combos[f], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp("（保存しない）").c_str()));
    for (const std::string& picture : pictures)
      SendMessageA(d.combos[f], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FileNameOf(picture).c_str()));
    bool set = !folders.folder[f].empty();
    // Folder 1 starts with the first picture; an unset folder cannot be chosen.
    SendMessageA(d.combos[f], CB_SETCURSEL, set && f == 0 ? 1 : 0, 0);
    EnableWindow(d.combos[f], set);
  }
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 412, 378, 86, 30, IDOK);
  AddControl(dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 506, 378, 86, 30, IDCANCEL);
  RunModal(dialog, nullptr);  // the launch thread's owner stays as the launch set it
  for (int f = 0; f < 3; ++f) chosen[f] = d.chosen[f];
  return d.accepted;
}

// [SnapCopy]: ReSize to SaveWidth x SaveHeight, Trim borders; saved as PNG.
bool NeedsAdjusting(const EmulatorConfig& c) { return c.reSize == 1 || c.trim == 1; }

int FileAdjusted(const std::string& picture, const std::string& folder, const std::vector<std::string>& names,
                 const EmulatorConfig& config) {
  if (folder.empty()) return kSnapFolderUnset;
  if (!DirectoryExists(folder)) return kSnapFolderMissing;
  if (names.empty()) return kSnapBadName;
  std::optional<SnapPixels> pixels = LoadPicturePixels(picture);
  if (!pixels) return kSnapAdjustFailed;
  EmulatorConfig adjust;
  adjust.colorTrim = config.trim == 1 ? 1 : 0;
  if (config.reSize == 1) adjust.saveWidth = config.saveWidth, adjust.saveHeight = config.saveHeight;
  adjust.harfTone = config.harfTone;
  int code = kSnapAdjustFailed;
  std::optional<SnapPixels> converted = ConvertPicture(*pixels, adjust, {}, true, &code);
  if (!converted) return kSnapAdjustFailed;
  for (const std::string& name : names)
    if (SavePng(*converted, SnapshotPath(folder, name, "png")) != kSnapSaved) return kSnapCopyFailed;
  return kSnapFiledFromFolder;
}

bool IsCapture(const std::string& path, const std::vector<std::string>& captures) {
  return std::find(captures.begin(), captures.end(), path) != captures.end();
}

// Files one chosen picture into a folder under the item's names.
int FileChosen(const AfterRunFiling& f, const std::string& picture, const std::string& folder,
               const std::vector<std::string>& names) {
  if (!IsCapture(picture, f.captures) && NeedsAdjusting(f.config)) return FileAdjusted(picture, folder, names, f.config);
  return FilePicture(picture, folder, names);
}

int FirstSetFolder(const SnapFolders& folders) {
  for (int i = 0; i < 3; ++i)
    if (!folders.folder[i].empty()) return i;
  return -1;
}

}  // namespace

int ChooseSnapFolder(HWND owner, HINSTANCE instance, const std::string& existing, const SnapFolders& folders) {
  int choice = 0;
  HWND dialog = CreateDialogWindow(instance, owner, "ChooseSnapDlg", 380, 230, ChooseSnapProcedure, &choice);
  if (!dialog) return 0;
  SetWindowTextA(dialog, Jp("スナップショット保存先の選択").c_str());
  AddControl(dialog, "STATIC", existing, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 10, 8, 360, 36, -1);
  const char* texts[4] = {"何もしない （破棄）", "スナップフォルダ１へ保存/上書き", "スナップフォルダ２へ保存/上書き",
                          "スナップフォルダ３へ保存/上書き"};
  for (int i = 0; i < 4; ++i) {
    HWND button = AddControl(dialog, "BUTTON", Jp(texts[i]), (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
                             10, 50 + i * 42, 360, 34, kDiscardId + i);
    if (i >= 1) EnableWindow(button, !folders.folder[i - 1].empty());  // an unset folder is no target
  }
  RunModal(dialog, nullptr);
  return choice;
}

std::optional<SnapPixels> LoadPicturePixels(const std::string& path) {
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(WideFromAnsi(path).c_str()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return std::nullopt;
  int width = static_cast<int>(bitmap->GetWidth()), height = static_cast<int>(bitmap->GetHeight());
  if (width <= 0 || height <= 0 || width > kLargestSnapSide || height > kLargestSnapSide) return std::nullopt;
  Gdiplus::Rect whole(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
    return std::nullopt;
  SnapPixels p;
  p.width = width;
  p.height = height;
  p.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(data.Scan0) + y * data.Stride);
    for (int x = 0; x < width; ++x) p.pixels[static_cast<size_t>(y) * width + x] = row[x] & 0xFFFFFF;
  }
  bitmap->UnlockBits(&data);
  return p;
}

int FileAfterRun(const AfterRunFiling& f, HWND owner, HINSTANCE instance) {
  FilingCodes codes;
  std::vector<std::string> names = SnapshotNames(f.crc32Name, f.fileTitle, f.crc32, f.title);
  std::vector<std::string> choices = f.captures;

  // Pictures the emulator wrote into the extraction folder during the run.
  if ((f.flags & kFileExtractedPictures) && f.mode == 0 && !f.extractFolder.empty()) {
    std::vector<std::string> pictures = NewPictures(f.extractFolder, f.before, f.captures);
    if (pictures.size() > 1 && (f.flags & kAskAmongPictures)) {
      choices = pictures;
      codes.askedAmongMany = true;
    } else if (!pictures.empty()) {
      int first = FirstSetFolder(f.folders);
      const std::string& picture = pictures.back();  // the last by name: usually the newest shot
      if (first < 0) {
        codes.errors.push_back(kSnapFolderUnset);
      } else if (!DirectoryExists(f.folders.folder[first])) {
        codes.errors.push_back(kSnapFolderMissing);
      } else if (names.empty()) {
        codes.errors.push_back(kSnapBadName);
      } else {
        std::string folder = f.folders.folder[first];
        std::string extension = NeedsAdjusting(f.config) ? "png" : LowerExtension(picture);
        std::string existing = SnapshotPath(folder, names.front(), extension);
        int target = first + 1;
        if (!existing.empty() && FileExists(existing)) target = ChooseSnapFolder(owner, instance, existing, f.folders);
        if (target == 0) {
          codes.errors.push_back(kSnapDiscarded);
        } else {
          int code = FileChosen(f, picture, f.folders.folder[target - 1], names);
          if (code == kSnapFiledFromFolder) codes.folderFiled = true;
          else codes.errors.push_back(code == kSnapCopyFailed ? kSnapFolderMissing : code);
        }
      }
    }
  }

  // The choice among the captures (or among several pictures of the folder).
  if ((f.mode != 0 || codes.askedAmongMany) && !choices.empty()) {
    int chosen[3] = {-1, -1, -1};
    if (!ChooseAutoSnaps(owner, instance, choices, f.folders, chosen)) {
      codes.errors.push_back(kSnapDiscarded);
      codes.askedAmongMany = false;
    } else {
      bool filed = false;
      for (int folder = 0; folder < 3; ++folder) {
        if (chosen[folder] < 0 || static_cast<size_t>(chosen[folder]) >= choices.size()) continue;
        int code = FileChosen(f, choices[static_cast<size_t>(chosen[folder])], f.folders.folder[folder], names);
        if (code == kSnapFiledFromFolder) filed = true;
        else codes.errors.push_back(code == kSnapBadName && names.empty() ? kSnapNoText : code);
      }
      codes.choiceMade = filed;
    }
  }
  // Exactly what this session wrote is deleted, nothing else of the folder.
  for (const std::string& capture : f.captures) RemoveFile(capture);

  // The clipboard's picture, saved into folder 1 without asking.
  if ((f.flags & kFileClipboardPicture) && f.mode == 0) {
    if (std::optional<SnapPixels> picture = ClipboardPicture()) {
      const std::string& folder = f.folders.folder[0];
      int code = kSnapSaved;
      if (folder.empty()) code = kSnapFolderUnset;
      else if (!DirectoryExists(folder)) code = kSnapFolderMissing;
      else if (names.empty()) code = kSnapBadName;
      for (size_t i = 0; code == kSnapSaved && i < names.size(); ++i)
        code = ConvertAndSave(*picture, f.config, SnapshotPath(folder, names[i], "png"), false);
      if (code == kSnapSaved) codes.clipboardSaved = true;
      else codes.errors.push_back(code);
    }
  }
  return SummariseFiling(codes);
}

ResultBalloon SnapResultBalloon(const std::string& baseFolder, int code) {
  const std::string table = baseFolder + "\\resource\\snapnotify.ini";
  return ResultBalloonFor(code, [&table](const std::string& key) {
    return ProfileText("SnapSaveNotify", key, "", table);
  });
}

}  // namespace vel
