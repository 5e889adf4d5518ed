#include "display/snapshot_picture_win.h"

#include <gdiplus.h>
#include <objidl.h>

#include <algorithm>
#include <list>
#include <memory>
#include <vector>


namespace vel {
namespace {

constexpr size_t kPicturesKept = 6;
constexpr size_t kScaledKept = 24;
constexpr long long kMaxPixels = 8192LL * 8192;       // larger pictures are refused, not decoded
constexpr long long kMaxFileBytes = 256LL * 1024 * 1024;

std::wstring WidePath(const std::string& path) {
  int length = MultiByteToWideChar(932, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 1)), L'\0');
  MultiByteToWideChar(932, 0, path.c_str(), -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

// The file's size and last-write time ("" when it cannot be read or is a folder).
std::string FileStamp(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return "";
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "";
  return std::to_string(data.nFileSizeHigh) + ":" + std::to_string(data.nFileSizeLow) + ":" +
         std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" + std::to_string(data.ftLastWriteTime.dwLowDateTime);
}

struct Bitmap {
  std::string key;
  HBITMAP handle = nullptr;  // null: not a picture
  int width = 0, height = 0;
  Bitmap() = default;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  ~Bitmap() {
    if (handle) DeleteObject(handle);
  }
};

// The most recently used first; the oldest go beyond `limit`.
struct Kept {
  std::list<std::unique_ptr<Bitmap>> items;
  size_t limit;
  explicit Kept(size_t l) : limit(l) {}
  Bitmap* Find(const std::string& key) {
    for (auto it = items.begin(); it != items.end(); ++it)
      if ((*it)->key == key) {
        items.splice(items.begin(), items, it);
        return items.front().get();
      }
    return nullptr;
  }
  Bitmap* Add(std::unique_ptr<Bitmap> bitmap) {
    items.push_front(std::move(bitmap));
    while (items.size() > limit) items.pop_back();
    return items.front().get();
  }
};

Kept& Pictures() {
  static Kept kept(kPicturesKept);
  return kept;
}
Kept& ScaledPictures() {
  static Kept kept(kScaledKept);
  return kept;
}

// The file's bytes, read with every kind of sharing so that no writer waits on us.
bool ReadFileBytes(const std::wstring& path, std::vector<char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxFileBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
  }
  CloseHandle(file);
  return ok;
}

std::unique_ptr<Bitmap> Decode(const std::wstring& path) {
  auto bitmap = std::make_unique<Bitmap>();
  std::vector<char> bytes;
  if (!ReadFileBytes(path, bytes)) return bitmap;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return bitmap;
  std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
    GlobalFree(memory);
    return bitmap;
  }
  {
    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromStream(stream));
    if (picture && picture->GetLastStatus() == Gdiplus::Ok && picture->GetWidth() > 0 && picture->GetHeight() > 0 &&
        static_cast<long long>(picture->GetWidth()) * picture->GetHeight() <= kMaxPixels) {
      HBITMAP handle = nullptr;
      if (picture->GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &handle) == Gdiplus::Ok) {
        bitmap->handle = handle;
        bitmap->width = static_cast<int>(picture->GetWidth());
        bitmap->height = static_cast<int>(picture->GetHeight());
      }
    }
  }
  stream->Release();
  return bitmap;
}

// The decoded picture of the file as it is now; null when it is not one.
Bitmap* Picture(const std::string& path, std::string& stamp) {
  std::wstring wide = WidePath(path);
  stamp = FileStamp(wide);
  if (stamp.empty()) return nullptr;
  const std::string key = path + "|" + stamp;
  Bitmap* found = Pictures().Find(key);
  if (!found) {
    std::unique_ptr<Bitmap> decoded = Decode(wide);
    decoded->key = key;
    found = Pictures().Add(std::move(decoded));
  }
  return found->handle ? found : nullptr;
}

std::string ScalingKey(const SnapScaling& s) {
  return std::to_string(s.transformPath) + "," + std::to_string(s.fixAspect) + "," + std::to_string(s.transform.rotation) +
         "," + std::to_string(s.transform.enlarge) + "," + std::to_string(s.transform.reduce) + "," +
         std::to_string(s.ratio) + "," + std::to_string(static_cast<int>(s.interpolation));
}

Gdiplus::InterpolationMode GdiplusMode(SnapInterpolation interpolation) {
  switch (interpolation) {
    case SnapInterpolation::kLowQuality: return Gdiplus::InterpolationModeLowQuality;
    case SnapInterpolation::kHighQuality: return Gdiplus::InterpolationModeHighQuality;
    case SnapInterpolation::kBilinear: return Gdiplus::InterpolationModeBilinear;
    case SnapInterpolation::kBicubic: return Gdiplus::InterpolationModeBicubic;
    case SnapInterpolation::kNearestNeighbor: return Gdiplus::InterpolationModeNearestNeighbor;
    case SnapInterpolation::kStandard: break;
  }
  return Gdiplus::InterpolationModeDefault;
}

// The pieces drawn with the picture library's interpolation; false when it fails.
bool DrawPiecesSmoothed(HDC target, const Bitmap& picture, const std::vector<SnapPiece>& pieces,
                        SnapInterpolation interpolation) {
  Gdiplus::Bitmap source(picture.handle, nullptr);
  if (source.GetLastStatus() != Gdiplus::Ok) return false;
  Gdiplus::Graphics graphics(target);
  graphics.SetInterpolationMode(GdiplusMode(interpolation));
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  // Edge pixels are repeated, not blended with the black around the piece.
  Gdiplus::ImageAttributes edges;
  edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  for (const SnapPiece& piece : pieces) {
    Gdiplus::Rect to(piece.target.left, piece.target.top, piece.target.width, piece.target.height);
    if (graphics.DrawImage(&source, to, piece.source.left, piece.source.top, piece.source.width, piece.source.height,
                           Gdiplus::UnitPixel, &edges) != Gdiplus::Ok)
      return false;
  }
  return true;
}

// The pieces drawn once into a bitmap of the area's size (background black).
std::unique_ptr<Bitmap> Compose(HDC reference, const Bitmap& picture, int width, int height, const SnapScaling& scaling) {
  auto scaled = std::make_unique<Bitmap>();
  scaled->handle = CreateCompatibleBitmap(reference, width, height);
  if (!scaled->handle) return scaled;
  scaled->width = width;
  scaled->height = height;
  HDC target = CreateCompatibleDC(reference), source = CreateCompatibleDC(reference);
  HGDIOBJ oldTarget = SelectObject(target, scaled->handle), oldSource = SelectObject(source, picture.handle);
  RECT all{0, 0, width, height};
  FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const std::vector<SnapPiece> pieces = PlaceSnapshot(picture.width, picture.height, {0, 0, width, height}, scaling);
  bool smoothed = scaling.interpolation != SnapInterpolation::kStandard &&
                  DrawPiecesSmoothed(target, picture, pieces, scaling.interpolation);
  for (const SnapPiece& piece : smoothed ? std::vector<SnapPiece>{} : pieces) {
    bool shrinking = piece.target.width < piece.source.width || piece.target.height < piece.source.height;
    SetStretchBltMode(target, shrinking ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, piece.target.left, piece.target.top, piece.target.width, piece.target.height, source,
               piece.source.left, piece.source.top, piece.source.width, piece.source.height, SRCCOPY);
  }
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteDC(source);
  DeleteDC(target);
  return scaled;
}

void Blit(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace

bool SnapshotPictureSize(const std::string& path, int& width, int& height) {
  std::string stamp;
  Bitmap* picture = Picture(path, stamp);
  if (!picture) return false;
  width = picture->width;
  height = picture->height;
  return true;
}

bool DrawSnapshotPicture(HDC dc, const std::string& path, const RECT& area, const SnapScaling& scaling) {
  int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  std::string stamp;
  Bitmap* picture = Picture(path, stamp);
  if (!picture) return false;
  // A repaint of a shown picture is one copy of the bitmap scaled before.
  const std::string key = path + "|" + stamp + "|" + std::to_string(width) + "x" + std::to_string(height) + "|" +
                          ScalingKey(scaling);
  Bitmap* scaled = ScaledPictures().Find(key);
  if (!scaled) {
    std::unique_ptr<Bitmap> composed = Compose(dc, *picture, width, height, scaling);
    composed->key = key;
    scaled = ScaledPictures().Add(std::move(composed));
  }
  if (!scaled->handle) return false;
  Blit(dc, scaled->handle, area.left, area.top, width, height);
  return true;
}

bool DrawSnapshotActualSize(HDC dc, const std::string& path, int x, int y) {
  std::string stamp;
  Bitmap* picture = Picture(path, stamp);
  if (!picture) return false;
  Blit(dc, picture->handle, x, y, picture->width, picture->height);
  return true;
}

}  // namespace vel
