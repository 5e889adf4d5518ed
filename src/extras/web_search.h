#pragma once
// Web search for an item: the sites of Velmarook2_Web.ini (names in section
// SiteName, URL templates in SiteURL, keys "1" to "99"), the URL built from a
// template and the item, and the changes the settings window makes.
#include <optional>
#include <string>
#include <vector>

namespace vel {

inline constexpr const char* kWebSiteFileName = "Velmarook2_Web.ini";
inline constexpr int kMaxWebSites = 99;

struct WebSite {
  std::string name;  // CP932
  std::string url;   // CP932 template
};

// The item's values a template can name, as the library holds them (UTF-8).
struct WebSearchItem {
  std::string machine, title, maker, developer;
};

// Every byte of the UTF-8 text except ASCII letters, digits and "'.-*()_"
// as "%XX" in upper case.
std::string PercentEncodeUtf8(const std::string& utf8);

// The template with "$machine", "$title", "$maker", "$developer" (the value
// in CP932) and "%machine" ... "%developer" (percent-encoded) replaced in one
// pass: text a value brings in is never read as a placeholder again.
std::string ExpandSiteUrl(const std::string& templateText, const WebSearchItem& item);

// True for a URL the program opens: "http:" or "https:" (in any case).
bool IsWebUrl(const std::string& url);

// The sites in key order: keys 1 upward, ending at the first empty name or
// after key 99. Values are read whole; `readFailed` is set when one could not be.
std::vector<WebSite> ReadWebSites(const std::string& siteFile, bool* readFailed = nullptr);

// The settings window's line of a site: name "  :  " URL.
std::string WebSiteListText(const WebSite& site);

enum class WebSiteChange { kDone, kMissingField, kNotHttp, kFull, kNoSuchSite, kUnchanged, kWriteFailed };

// Adds a site after the listed ones (key count + 1, below 100).
WebSiteChange RegisterWebSite(const std::string& siteFile, const std::string& name, const std::string& url);
// Removes site `index` (0-based): the later ones move one key down.
WebSiteChange DeleteWebSite(const std::string& siteFile, int index);
// Swaps site `index` with its neighbour above (`up`) or below; the first
// cannot go up nor the last down (kUnchanged).
WebSiteChange MoveWebSite(const std::string& siteFile, int index, bool up);

// The message for a refused or failed change ("" for kDone and kUnchanged), CP932.
std::string WebSiteChangeMessage(WebSiteChange change, const std::string& siteFile);
// The message for a URL that is not opened, CP932.
std::string UnsupportedUrlMessage(const std::string& url);

}  // namespace vel
