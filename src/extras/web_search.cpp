#include "extras/web_search.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {
namespace {

constexpr const char* kNames = "SiteName";
constexpr const char* kUrls = "SiteURL";

bool StartsWithNoCase(const std::string& text, const char* head) {
  size_t n = std::strlen(head);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != head[i]) return false;
  }
  return true;
}

bool WriteSite(const std::string& file, int key, const WebSite& site) {
  return WriteProfileText(kNames, std::to_string(key), site.name, file) &&
         WriteProfileText(kUrls, std::to_string(key), site.url, file);
}

}  // namespace

std::string PercentEncodeUtf8(const std::string& utf8) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size() * 3);
  for (unsigned char c : utf8) {
    bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                std::strchr("'.-*()_", c) != nullptr;
    if (kept && c != 0) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0x0F];
    }
  }
  return out;
}

std::string ExpandSiteUrl(const std::string& templateText, const WebSearchItem& item) {
  struct Placeholder {
    const char* name;
    const std::string* value;
    bool encoded;
  } placeholders[] = {
      {"$machine", &item.machine, false},  {"$title", &item.title, false},  {"$maker", &item.maker, false},
      {"$developer", &item.developer, false}, {"%machine", &item.machine, true}, {"%title", &item.title, true},
      {"%maker", &item.maker, true},      {"%developer", &item.developer, true},
  };
  std::string out;
  size_t i = 0;
  while (i < templateText.size()) {
    const Placeholder* found = nullptr;
    for (const Placeholder& p : placeholders)
      if (templateText.compare(i, std::strlen(p.name), p.name) == 0) found = &p;
    if (found) {
      out += found->encoded ? PercentEncodeUtf8(*found->value) : Utf8ToAnsi(*found->value);
      i += std::strlen(found->name);
      continue;
    }
    size_t length = CharacterLength(templateText, i);  // a trail byte never starts a placeholder
    out.append(templateText, i, length);
    i += length;
  }
  return out;
}

bool IsWebUrl(const std::string& url) { return StartsWithNoCase(url, "http:") || StartsWithNoCase(url, "https:"); }

std::vector<WebSite> ReadWebSites(const std::string& siteFile, bool* readFailed) {
  std::vector<WebSite> sites;
  bool failed = false;
  for (int key = 1; key <= kMaxWebSites; ++key) {
    WebSite site;
    failed |= !ReadProfileText(kNames, std::to_string(key), "", siteFile, site.name);
    if (site.name.empty()) break;
    failed |= !ReadProfileText(kUrls, std::to_string(key), "", siteFile, site.url);
    sites.push_back(std::move(site));
  }
  if (readFailed) *readFailed = failed;
  return sites;
}

std::string WebSiteListText(const WebSite& site) { return site.name + "  :  " + site.url; }

WebSiteChange RegisterWebSite(const std::string& siteFile, const std::string& name, const std::string& url) {
  if (name.empty() || url.empty()) return WebSiteChange::kMissingField;
  if (!IsWebUrl(url)) return WebSiteChange::kNotHttp;
  int key = static_cast<int>(ReadWebSites(siteFile).size()) + 1;
  if (key >= 100) return WebSiteChange::kFull;
  return WriteSite(siteFile, key, {name, url}) ? WebSiteChange::kDone : WebSiteChange::kWriteFailed;
}

WebSiteChange DeleteWebSite(const std::string& siteFile, int index) {
  bool readFailed = false;
  std::vector<WebSite> sites = ReadWebSites(siteFile, &readFailed);
  if (index < 0 || index >= static_cast<int>(sites.size())) return WebSiteChange::kNoSuchSite;
  if (readFailed) return WebSiteChange::kWriteFailed;  // never write back a value read in part
  for (int i = index + 1; i < static_cast<int>(sites.size()); ++i)
    if (!WriteSite(siteFile, i, sites[static_cast<size_t>(i)])) return WebSiteChange::kWriteFailed;
  const std::string last = std::to_string(sites.size());
  if (!DeleteProfileKey(kNames, last, siteFile) || !DeleteProfileKey(kUrls, last, siteFile))
    return WebSiteChange::kWriteFailed;
  return WebSiteChange::kDone;
}

WebSiteChange MoveWebSite(const std::string& siteFile, int index, bool up) {
  bool readFailed = false;
  std::vector<WebSite> sites = ReadWebSites(siteFile, &readFailed);
  if (index < 0 || index >= static_cast<int>(sites.size())) return WebSiteChange::kNoSuchSite;
  int other = up ? index - 1 : index + 1;
  if (other < 0 || other >= static_cast<int>(sites.size())) return WebSiteChange::kUnchanged;
  if (readFailed) return WebSiteChange::kWriteFailed;
  if (!WriteSite(siteFile, index + 1, sites[static_cast<size_t>(other)]) ||
      !WriteSite(siteFile, other + 1, sites[static_cast<size_t>(index)]))
    return WebSiteChange::kWriteFailed;
  return WebSiteChange::kDone;
}

std::string WebSiteChangeMessage(WebSiteChange change, const std::string& siteFile) {
  switch (change) {
    case WebSiteChange::kMissingField: return Jp("名前またはURLの指定がありません");
    case WebSiteChange::kNotHttp: return Jp("http: または https: で始まるURLを指定して下さい");
    case WebSiteChange::kFull: return Jp("これ以上登録できません");
    case WebSiteChange::kNoSuchSite: return Jp("登録が選択されていません");
    case WebSiteChange::kWriteFailed: return Jp("Web検索の設定を保存できませんでした。\n") + siteFile;
    case WebSiteChange::kDone:
    case WebSiteChange::kUnchanged: break;
  }
  return "";
}

std::string UnsupportedUrlMessage(const std::string& url) {
  return Jp("http(s):以外は未対応です。") + "\n\"" + url + "\"";
}

}  // namespace vel
