#pragma once
// Records what a maintenance run reports; plays the dialog's part in tests.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "maintenance/maintenance_run.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel::test {

struct RecordedReport : RunReport {
  void Log(const std::string& line) override { lines.push_back(AnsiToUtf8(line)); }
  void StartProgress(int total) override { this->total = total; }
  void StepProgress() override {
    ++steps;
    if (onStep) onStep(steps);
  }
  // Answers from `answers` in turn (No once they run out); the questions are kept as UTF-8.
  int Ask(const std::string& text, const std::string& caption, unsigned) override {
    questions.push_back(AnsiToUtf8(caption) + "|" + AnsiToUtf8(text));
    if (answers.empty()) return kIdNo;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool Logged(const std::string& utf8) const {
    for (const std::string& line : lines)
      if (line == utf8) return true;
    return false;
  }
  std::vector<std::string> lines;
  std::vector<std::string> questions;
  std::deque<int> answers;
  int total = -1, steps = 0;
  std::function<void(int)> onStep;
};

}  // namespace vel::test
