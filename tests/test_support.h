#pragma once
// Helpers shared by the tests: temporary folders and a recording answerer.
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace vel::test {

// A fresh empty folder, removed with its contents when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return path_; }
  // Path of a name inside the folder, joined with the platform's separator.
  std::string operator/(const std::string& name) const;

 private:
  std::string path_;
};

// Records every message and answers from a script (kIdOk when it runs out).
class ScriptedAnswers {
 public:
  explicit ScriptedAnswers(std::vector<int> answers = {});
  ~ScriptedAnswers();
  const std::vector<MessageRequest>& Asked() const { return asked_; }

 private:
  std::vector<int> answers_;
  std::vector<MessageRequest> asked_;
};

// Answers every message through `answer` while it lives (which may be called
// from several threads); afterwards a message fails the test again.
class AnsweredBy {
 public:
  explicit AnsweredBy(MessageAnswerer answer);
  ~AnsweredBy();
  AnsweredBy(const AnsweredBy&) = delete;
  AnsweredBy& operator=(const AnsweredBy&) = delete;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace vel::test
