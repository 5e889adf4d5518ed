#include "input/soft_keyboard_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "input/soft_keyboard.h"
#include "platform/profile.h"
#include "search/candidate_window_win.h"

namespace vel {
namespace {

// The size of a keyboard whose pictures are missing.
constexpr int kFallbackWidth = 480, kFallbackHeight = 360;
constexpr UINT_PTR kPressTimer = 2;
constexpr UINT kPressDelayMs = 120;

struct Picture {
  HBITMAP bitmap = nullptr;
  int width = 0, height = 0;
  ~Picture() { Reset(); }
  void Reset() {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
    width = height = 0;
  }
  void Load(const std::string& path) {
    Reset();
    bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP info{};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) width = info.bmWidth, height = info.bmHeight;
  }
};

struct Keyboard {
  HWND window = nullptr;
  std::string folder, setFile;
  SoftKeySets sets;
  int set = 0, mode = 0;
  Picture normal, hover, down;
  std::vector<SoftKey> keys;
  int hovered = -1;
  int offsetX = 0, offsetY = 0;
  bool dragging = false;
  POINT dragPoint{};
  bool buttonDown = false;
  POINT downPoint{};
  bool showDown = false;
};

std::unique_ptr<Keyboard> gKeyboard;

// Without a picture the keyboard is as large as its keys reach.
int KeysReach(const Keyboard& k, bool across) {
  int reach = 0;
  for (const SoftKey& key : k.keys) reach = std::max(reach, across ? key.right : key.bottom);
  return reach > 0 && reach < 4000 ? reach + 4 : 0;
}
int Width(const Keyboard& k) {
  if (k.normal.bitmap) return k.normal.width;
  int reach = KeysReach(k, true);
  return reach ? reach : kFallbackWidth;
}
int Height(const Keyboard& k) {
  if (k.normal.bitmap) return k.normal.height;
  int reach = KeysReach(k, false);
  return reach ? reach : kFallbackHeight;
}

void Place(AppState& app, Keyboard& k) {
  RECT main{}, client{};
  GetWindowRect(app.mainWindow, &main);
  GetClientRect(app.mainWindow, &client);
  SoftKeyboardPlace place = ClampSoftKeyboardOffset(k.offsetX, k.offsetY, client.right, client.bottom, Width(k), Height(k));
  SetWindowPos(k.window, nullptr, main.left + place.x, main.top + place.y, Width(k), Height(k),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Below the search box, its right edge at the box's right edge.
void ResetOffset(AppState& app, Keyboard& k) {
  RECT main{}, box{};
  GetWindowRect(app.mainWindow, &main);
  if (app.searchText) GetWindowRect(app.searchText, &box);
  k.offsetX = box.right - main.left - Width(k);
  k.offsetY = box.bottom - main.top;
}

// The pictures and keys of the current mode; the window takes the picture's size.
void LoadMode(AppState& app, Keyboard& k) {
  k.normal.Reset();
  k.hover.Reset();
  k.down.Reset();
  k.keys.clear();
  if (k.set < static_cast<int>(k.sets.size()) && k.mode < static_cast<int>(k.sets[static_cast<size_t>(k.set)].size())) {
    const std::string name = k.folder + k.sets[static_cast<size_t>(k.set)][static_cast<size_t>(k.mode)];
    k.normal.Load(name + ".bmp");
    k.hover.Load(name + "_hover.bmp");
    k.down.Load(name + "_down.bmp");
    k.keys = ReadSoftKeys(name + ".ini");
  }
  if (k.hovered >= static_cast<int>(k.keys.size())) k.hovered = -1;
  Place(app, k);
  InvalidateRect(k.window, nullptr, FALSE);
}

void DrawKey(HDC dc, HDC source, const SoftKey& key, const Picture& picture, bool lit) {
  if (picture.bitmap) {
    HGDIOBJ old = SelectObject(source, picture.bitmap);
    BitBlt(dc, key.left, key.top, key.right - key.left, key.bottom - key.top, source, key.left, key.top, SRCCOPY);
    SelectObject(source, old);
    return;
  }
  // Without pictures the keys are drawn as frames with their texts.
  RECT r{key.left, key.top, key.right, key.bottom};
  FillRect(dc, &r, GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextA(dc, key.text.c_str(), static_cast<int>(key.text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void Paint(Keyboard& k) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(k.window, &ps);
  HDC source = CreateCompatibleDC(dc);
  RECT all{0, 0, Width(k), Height(k)};
  if (k.normal.bitmap) {
    HGDIOBJ old = SelectObject(source, k.normal.bitmap);
    BitBlt(dc, 0, 0, k.normal.width, k.normal.height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
  } else {
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    for (const SoftKey& key : k.keys) DrawKey(dc, source, key, k.normal, false);
  }
  if (k.hovered >= 0) {
    const SoftKey& key = k.keys[static_cast<size_t>(k.hovered)];
    DrawKey(dc, source, key, k.showDown ? k.down : k.hover, true);
  }
  DeleteDC(source);
  EndPaint(k.window, &ps);
}

void Redraw(Keyboard& k) { InvalidateRect(k.window, nullptr, FALSE); }

void ShowKeyDown(Keyboard& k) {
  k.showDown = true;
  Redraw(k);
}

std::string SearchText(AppState& app) {
  if (!app.searchText) return "";
  int length = GetWindowTextLengthA(app.searchText);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(app.searchText, text.data(), length + 1)));
  return text;
}

void RunSearch(AppState& app) {
  std::string text = SearchText(app);
  if (text.empty() || !app.runSearch) return;
  HideCandidates(app);
  LRESULT target = app.searchTarget ? SendMessageA(app.searchTarget, CB_GETCURSEL, 0, 0) : 0;
  app.runSearch(text, target < 0 ? 0 : static_cast<int>(target));
}

void NextSet(AppState& app, Keyboard& k) {
  StepSoftKeySet(k.sets, k.set, k.mode);
  k.hovered = -1;
  LoadMode(app, k);
}

void NextMode(AppState& app, Keyboard& k) {
  StepSoftKeyMode(k.sets, k.set, k.mode);
  LoadMode(app, k);
}

void PressKey(AppState& app, Keyboard& k) {
  k.showDown = false;
  if (k.hovered < 0) return Redraw(k);
  const std::string keyText = k.keys[static_cast<size_t>(k.hovered)].text;
  SoftKeyPress press = PressSoftKey(keyText, SearchText(app));
  // The search box reports the change as if it had been typed.
  if (press.textChanged && app.searchText) SetWindowTextA(app.searchText, press.text.c_str());
  switch (press.command) {
    case SoftKeyCommand::kReturn: RunSearch(app); break;
    case SoftKeyCommand::kListUp: CandidateStep(app, VK_UP); break;
    case SoftKeyCommand::kListDown: CandidateStep(app, VK_DOWN); break;
    case SoftKeyCommand::kNextSet: NextSet(app, k); break;
    case SoftKeyCommand::kNextMode: NextMode(app, k); break;
    default: break;
  }
  if (gKeyboard) Redraw(*gKeyboard);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  Keyboard* k = gKeyboard && gKeyboard->window == window ? gKeyboard.get() : nullptr;
  if (!k) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: Paint(*k); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (wParam == MK_LBUTTON && k->buttonDown) {
        if (!k->dragging) {
          // A drag begins once the pointer, inside the window, leaves the
          // point where the button went down by the system's drag distance;
          // the window holds the pointer from then on.
          RECT client{};
          GetClientRect(window, &client);
          bool away = std::abs(at.x - k->downPoint.x) > GetSystemMetrics(SM_CXDRAG) ||
                      std::abs(at.y - k->downPoint.y) > GetSystemMetrics(SM_CYDRAG);
          if (!away || !PtInRect(&client, at)) return 0;
          k->dragging = true, k->dragPoint = k->downPoint;
          SetCapture(window);
        }
        POINT screen = at;
        ClientToScreen(window, &screen);
        RECT main{};
        GetWindowRect(app.mainWindow, &main);
        k->offsetX = screen.x - k->dragPoint.x - main.left;
        k->offsetY = screen.y - k->dragPoint.y - main.top;
        Place(app, *k);
        return 0;
      }
      int hovered = SoftKeyAt(k->keys, at.x, at.y);
      if (hovered != k->hovered) k->hovered = hovered, Redraw(*k);
      return 0;
    }
    case WM_LBUTTONDOWN:
      // The key under the click, whatever moves the system reported before.
      k->hovered = SoftKeyAt(k->keys, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      k->buttonDown = true;
      k->downPoint = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ShowKeyDown(*k);
      return 0;
    case WM_LBUTTONUP: {
      k->buttonDown = false;
      if (GetCapture() == window) ReleaseCapture();
      // A drag moves the window and types nothing.
      if (k->dragging) {
        k->dragging = false;
        k->showDown = false;
        Redraw(*k);
      } else {
        k->hovered = SoftKeyAt(k->keys, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        PressKey(app, *k);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kPressTimer) KillTimer(window, kPressTimer), PressKey(app, *k);
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool IsSoftKeyboardOpen() { return gKeyboard && IsWindow(gKeyboard->window); }

void OpenSoftKeyboard(AppState& app) {
  if (IsSoftKeyboardOpen() || !app.mainWindow) return;
  auto k = std::make_unique<Keyboard>();
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kDialogClassName, "SoftKeyDlg",
                                WS_POPUP, 0, 0, kFallbackWidth, kFallbackHeight, app.mainWindow, nullptr, app.instance,
                                nullptr);
  if (!window) return;
  k->window = window;
  std::string name = ReadSoftKeyboardName(app.paths.base);
  k->folder = app.paths.base + "\\softkey\\" + name + "\\";
  k->setFile = k->folder + name + ".ini";
  k->sets = ReadSoftKeySets(k->setFile);
  gKeyboard = std::move(k);
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
  Keyboard& keyboard = *gKeyboard;
  LoadMode(app, keyboard);
  int x = ReadProfileInt("pos_offset", "x", -9999, keyboard.setFile);
  int y = ReadProfileInt("pos_offset", "y", -9999, keyboard.setFile);
  if (x == -9999 && y == -9999) {
    ResetOffset(app, keyboard);
  } else {
    keyboard.offsetX = x;
    keyboard.offsetY = y;
  }
  Place(app, keyboard);
  ShowWindow(window, SW_SHOWNOACTIVATE);
}

void CloseSoftKeyboard(AppState& app) {
  HideCandidates(app);
  if (gKeyboard && IsWindow(gKeyboard->window)) DestroyWindow(gKeyboard->window);
  gKeyboard.reset();
}

void ToggleSoftKeyboard(AppState& app) {
  if (IsSoftKeyboardOpen())
    CloseSoftKeyboard(app);
  else
    OpenSoftKeyboard(app);
}

void SoftKeyboardPadCommand(AppState& app, PadCommand command) {
  if (!IsSoftKeyboardOpen()) return;
  Keyboard& k = *gKeyboard;
  auto cursor = [&](SoftKeyDirection direction) {
    k.hovered = NearestSoftKey(k.keys, k.hovered, direction);
    Redraw(k);
  };
  auto move = [&](int dx, int dy) {
    k.offsetX += dx;
    k.offsetY += dy;
    Place(app, k);
  };
  switch (command) {
    case PadCommand::kKeyboardCursorUp: cursor(SoftKeyDirection::kUp); break;
    case PadCommand::kKeyboardCursorDown: cursor(SoftKeyDirection::kDown); break;
    case PadCommand::kKeyboardCursorLeft: cursor(SoftKeyDirection::kLeft); break;
    case PadCommand::kKeyboardCursorRight: cursor(SoftKeyDirection::kRight); break;
    case PadCommand::kKeyboardMoveUp: move(0, -10); break;
    case PadCommand::kKeyboardMoveDown: move(0, 10); break;
    case PadCommand::kKeyboardMoveLeft: move(-10, 0); break;
    case PadCommand::kKeyboardMoveRight: move(10, 0); break;
    case PadCommand::kKeyboardBack:
      if (app.searchText) SetWindowTextA(app.searchText, WithoutLastCharacter(SearchText(app)).c_str());
      break;
    case PadCommand::kKeyboardResetPosition:
      ResetOffset(app, k);
      Place(app, k);
      break;
    case PadCommand::kKeyboardSet: NextSet(app, k); break;
    case PadCommand::kKeyboardMode: NextMode(app, k); break;
    case PadCommand::kKeyboardListUp: CandidateStep(app, VK_UP); break;
    case PadCommand::kKeyboardListDown: CandidateStep(app, VK_DOWN); break;
    case PadCommand::kKeyboardEnter:
      // The key shows pressed, then types.
      ShowKeyDown(k);
      SetTimer(k.window, kPressTimer, kPressDelayMs, nullptr);
      break;
    case PadCommand::kKeyboardSearch: RunSearch(app); break;
    case PadCommand::kKeyboardClose: CloseSoftKeyboard(app); break;
    default: break;
  }
}

}  // namespace vel
