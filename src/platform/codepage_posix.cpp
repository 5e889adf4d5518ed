#include "platform/codepage.h"
#include "platform/codepage_utf16.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace vel {
namespace {

// Converts with iconv; an invalid input sequence is replaced by '?' so that no
// text is silently cut at a bad byte.
std::string Convert(const char* to, const char* from, std::string_view in, size_t badSkip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      size_t used = static_cast<size_t>(dst - out.data());
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: skip the offending input and mark the spot.
    size_t skip = std::min(srcLeft, badSkip);
    if (errno == EILSEQ && badSkip > 1) {
      // UTF-8 input: skip one whole sequence.
      unsigned char c = static_cast<unsigned char>(*src);
      skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      skip = std::min(skip, srcLeft);
    }
    src += skip;
    srcLeft -= skip;
    if (dstLeft < 1) {
      size_t used = static_cast<size_t>(dst - out.data());
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
    }
    *dst++ = '?';
    --dstLeft;
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  iconv_close(cd);
  return out;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  return Convert("UTF-8", "CP932", WithWholeCharacters(ansi), 1);
}
std::string Utf8ToAnsi(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, 4); }

std::u16string AnsiToUtf16(std::string_view ansi) {
  // Through UTF-8: CP932 holds nothing beyond the BMP, so no pairs arise.
  std::string utf8 = AnsiToUtf8(ansi);
  std::u16string wide;
  wide.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    unsigned cp = extra == 0 ? c : c & (0x3Fu >> extra);
    for (int k = 1; k <= extra && i + static_cast<size_t>(k) < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
    wide += static_cast<char16_t>(cp > 0xFFFF ? u'?' : cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return wide;
}

}  // namespace vel
