#include "display/thumbnail_cache_win.h"

#include <gdiplus.h>

#include <algorithm>
#include <list>
#include <memory>
#include <unordered_map>


namespace vel {
namespace {

constexpr size_t kKept = 300;

struct Thumbnail {
  std::string key;  // path, box size, file size and last-write time
  HBITMAP bitmap = nullptr;  // null: the file is not a picture
  int width = 0, height = 0;
};

struct Cache {
  std::list<Thumbnail> recent;  // most recent first
  std::unordered_map<std::string, std::list<Thumbnail>::iterator> byKey;
  ~Cache() { Clear(); }
  void Clear() {
    for (Thumbnail& t : recent)
      if (t.bitmap) DeleteObject(t.bitmap);
    recent.clear();
    byKey.clear();
  }
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

std::wstring Wide(const std::string& text) {
  int length = MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 1)), L'\0');
  MultiByteToWideChar(932, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

// The file's size and last-write time as text ("-" when it cannot be read).
std::string FileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return "-";
  return std::to_string(data.nFileSizeHigh) + ":" + std::to_string(data.nFileSizeLow) + ":" +
         std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" + std::to_string(data.ftLastWriteTime.dwLowDateTime);
}

// Reads and scales the picture into a bitmap of at most the box's size.
Thumbnail Load(const std::string& path, int boxWidth, int boxHeight) {
  Thumbnail thumbnail;
  std::wstring wide = Wide(path);
  std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromFile(wide.c_str()));
  if (!picture || picture->GetLastStatus() != Gdiplus::Ok || picture->GetWidth() == 0 || picture->GetHeight() == 0)
    return thumbnail;
  double scale = std::min(static_cast<double>(boxWidth) / picture->GetWidth(),
                          static_cast<double>(boxHeight) / picture->GetHeight());
  thumbnail.width = std::max(1, static_cast<int>(picture->GetWidth() * scale));
  thumbnail.height = std::max(1, static_cast<int>(picture->GetHeight() * scale));
  Gdiplus::Bitmap scaled(thumbnail.width, thumbnail.height, PixelFormat24bppRGB);
  {
    Gdiplus::Graphics graphics(&scaled);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.DrawImage(picture.get(), 0, 0, thumbnail.width, thumbnail.height);
  }
  HBITMAP bitmap = nullptr;
  if (scaled.GetHBITMAP(Gdiplus::Color(255, 255, 255), &bitmap) == Gdiplus::Ok) thumbnail.bitmap = bitmap;
  return thumbnail;
}

}  // namespace

bool DrawThumbnail(HDC dc, const std::string& path, const RECT& box) {
  int width = box.right - box.left, height = box.bottom - box.top;
  if (width <= 0 || height <= 0) return false;
  Cache& cache = TheCache();
  // A file replaced on disk, or one that appeared after a failed read, has
  // another key and is read anew.
  std::string key = path + "|" + std::to_string(width) + "x" + std::to_string(height) + "|" + FileStamp(path);
  auto found = cache.byKey.find(key);
  if (found != cache.byKey.end()) {
    cache.recent.splice(cache.recent.begin(), cache.recent, found->second);
  } else {
    Thumbnail thumbnail = Load(path, width, height);
    thumbnail.key = key;
    cache.recent.push_front(thumbnail);
    cache.byKey[key] = cache.recent.begin();
    while (cache.recent.size() > kKept) {
      Thumbnail& last = cache.recent.back();
      if (last.bitmap) DeleteObject(last.bitmap);
      cache.byKey.erase(last.key);
      cache.recent.pop_back();
    }
  }
  const Thumbnail& t = cache.recent.front();
  if (!t.bitmap) return false;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, t.bitmap);
  BitBlt(dc, box.left + (width - t.width) / 2, box.top + (height - t.height) / 2, t.width, t.height, memory, 0, 0,
         SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  return true;
}

void ForgetThumbnails() { TheCache().Clear(); }

void ForgetFailedThumbnails() {
  Cache& cache = TheCache();
  for (auto it = cache.recent.begin(); it != cache.recent.end();) {
    if (it->bitmap) {
      ++it;
      continue;
    }
    cache.byKey.erase(it->key);
    it = cache.recent.erase(it);
  }
}

}  // namespace vel
