#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"

namespace vel::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("vel_") + (info ? info->name() : "test") + "_" +
                     std::to_string(counter++) + "_" +
                     std::to_string(static_cast<long long>(
                         std::hash<std::string>{}(fs::temp_directory_path().string()) % 100000));
  fs::path p = fs::temp_directory_path() / name;
  fs::remove_all(p);
  fs::create_directories(p);
  path_ = p.string();
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempFolder::operator/(const std::string& name) const {
#ifdef _WIN32
  return path_ + "\\" + name;
#else
  return path_ + "/" + name;
#endif
}

ScriptedAnswers::ScriptedAnswers(std::vector<int> answers) : answers_(std::move(answers)) {
  SetMessageAnswerer([this](const MessageRequest& request) {
    asked_.push_back(request);
    if (answers_.empty()) return static_cast<int>(kIdOk);
    int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  });
}

namespace {

void FailAtEveryMessage() {
  SetMessageAnswerer([](const MessageRequest& request) {
    ADD_FAILURE() << "unexpected message: " << AnsiToUtf8(request.text);
    return static_cast<int>(kIdCancel);
  });
}

}  // namespace

ScriptedAnswers::~ScriptedAnswers() { FailAtEveryMessage(); }

AnsweredBy::AnsweredBy(MessageAnswerer answer) { SetMessageAnswerer(std::move(answer)); }

AnsweredBy::~AnsweredBy() { FailAtEveryMessage(); }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace vel::test
