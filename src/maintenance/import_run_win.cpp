// DirAddProcDlg: the progress window of an import.
#include "maintenance/import_run_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "core/app_state_win.h"
#include "core/cp932_text.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "maintenance/crc_library_win.h"
#include "maintenance/image_sets.h"
#include "platform/codepage.h"

namespace vel {

TextSlots::TextSlots(const DirAddOptions& options) {
  for (size_t i = 0; i < 6; ++i) {
    // The dialog limits every box to its slot, so a text always fits whole.
    buffers_[i].assign(kDirAddTextCapacity[i] + 1, '\0');
    std::string text = CutToBytes(options.texts[i], kDirAddTextCapacity[i]);
    std::memcpy(buffers_[i].data(), text.data(), text.size());
    pointers_[i] = buffers_[i].data();
  }
}

namespace {

enum : int { kStatusId = 3301, kTitleId, kProgressId, kStopId, kMarkerId, kProblemsId };

struct ProgressWindow {
  CrcLibrary* library = nullptr;
  bool running = false;         // the library has not returned yet
  bool closeRequested = false;  // closed while running: close when it returns
};

bool IsFinishedCaption(HWND button) { return WindowText(button) == Jp("終了"); }

void OnStop(HWND window, ProgressWindow& p) {
  if (!IsFinishedCaption(GetDlgItem(window, kStopId))) p.library->setDirAddThreadESC(1);
  if ((p.library->getDirAddThreadESC() & 0xFFFF) == 1) return;
  // Never closed under a running import: that waits for the library to return.
  if (p.running) {
    p.closeRequested = true;
    return;
  }
  DestroyWindow(window);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ProgressWindow* p = DialogData<ProgressWindow>(window);
  switch (message) {
    case WM_COMMAND:
      if (p && LOWORD(wParam) == kStopId) OnStop(window, *p);
      return 0;
    case WM_CLOSE:
      if (p && p->running) {
        p->library->setDirAddThreadESC(1);
        p->closeRequested = true;
      } else {
        DestroyWindow(window);
      }
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void RunImport(AppState& app, HWND owner, const DirAddOptions& options) {
  ProgressWindow p;
  HWND window = CreateDialogWindow(app.instance, owner, Jp("イメージの検索と追加"), 480, 300, Procedure, &p);
  if (!window) return;
  AddControl(window, "STATIC", Jp("取り込み状況"), SS_LEFT, 12, 14, 96, 20, -1);
  HWND status = AddControl(window, "STATIC", "--", SS_LEFT | SS_ENDELLIPSIS, 112, 14, 356, 20, kStatusId);
  AddControl(window, "STATIC", Jp("タイトル"), SS_LEFT, 12, 40, 96, 20, -1);
  HWND title = AddControl(window, "STATIC", "--", SS_LEFT | SS_ENDELLIPSIS, 112, 40, 356, 20, kTitleId);
  HWND progress = AddControl(window, PROGRESS_CLASSA, "", 0, 12, 70, 456, 20, kProgressId);
  // The library writes every problem line here; they stay to be read after the end.
  AddControl(window, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, 12, 98,
             456, 150, kProblemsId);
  HWND stop = AddControl(window, "BUTTON", Jp("中止"), BS_PUSHBUTTON | WS_TABSTOP, 190, 256, 100, 30, kStopId);
  HWND marker = AddControl(window, "STATIC", Jp("■"), SS_RIGHT, 420, 276, 52, 20, kMarkerId);

  p.library = &LoadCrcLibrary(app);
  EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  DirAddOptions copy = options;
  TextSlots texts(copy);
  p.running = true;
  // The library runs the import and keeps this thread's windows responsive
  // until it has ended.
  p.library->dirAddImg(window, status, title, marker, stop, progress,
                       reinterpret_cast<LONG*>(copy.integers.data()), texts.Pointers(),
                       reinterpret_cast<LONG*>(copy.numbers.data()));
  p.running = false;
  // New sets show their disk count and launch whole only once this table follows them.
  {
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    RebuildMaxDiskTable(db);
  }
  if (app.reloadItemList) app.reloadItemList(std::string());
  if (p.closeRequested) DestroyWindow(window);
  if (IsWindow(window)) RunModal(window, owner);
  EnableWindow(owner, TRUE);
  ReleaseCrcLibrary();
}

}  // namespace vel
