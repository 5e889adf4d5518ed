#pragma once
// A regular-expression matcher over CP932 text: set a pattern once, then test
// texts against it. An invalid pattern matches nothing.
#include <memory>
#include <string>

namespace vel {

class RegexMatcher {
 public:
  RegexMatcher();
  ~RegexMatcher();
  // Returns false when the pattern is not a valid expression.
  bool SetPattern(const std::string& pattern);
  // True when the text contains a match; `matched` receives the matched part.
  bool Match(const std::string& text, std::string* matched = nullptr) const;

 private:
  struct Compiled;
  std::unique_ptr<Compiled> compiled_;
};

}  // namespace vel
