#pragma once
// Everything a launch decides before it touches another program: the
// configuration, the images, the expanded executable, command line and
// window-search words, and the checks that refuse a launch with a message.
#include <string>

#include "launch/emulator_config.h"
#include "launch/launch_images.h"
#include "launch/placeholders.h"

namespace vel {

class LibraryConnection;

struct LaunchRequest {
  std::string baseFolder;     // without trailing backslash
  std::string programFolder;  // folder of the program file, with trailing backslash
  ItemFields item;
  int diskCount = 0;          // the item's disk-count column
  std::string alterEgoFile;   // the alter-ego copy of the item's image; "" when none
  std::string chosenConfig;   // "" = the machine default
  int bootDisk = 0;           // 0 = none chosen
  bool bigPicture = false;
  bool demoMode = false;
  LocalTime bootTime;         // when the launch was requested
  void* owner = nullptr;      // owner window of the questions
};

struct LaunchPlan {
  std::string configPath;
  EmulatorConfig config;       // with extraction switched off for an alter ego
  bool alterEgo = false;
  LaunchValues values;         // the images, the item and the executable for expansions
  ImagePlan images;
  std::string exec;            // expanded and absolute
  std::string emulatorFolder;  // the emulator's working folder, without trailing backslash
  std::string option;          // expanded
  std::string commandLine;     // "\"" exec "\" " option, for process creation
  std::string searchText, exclusionText;  // window-search words, ";"-separated
  std::string keyScript, rewriteScript, exitScript;
};

// The longest command line process creation takes, in characters.
inline constexpr size_t kLongestCommandLine = 32767;

// Loads and checks a launch (the folder question may create the extraction
// folder). Empty when the launch may go on; otherwise the text of the abort
// report. A failing image query is shown at once and leaves no images.
std::string PlanLaunch(const LaunchRequest& request, LibraryConnection& db, LaunchPlan& plan);

// The arguments of a program run before or after the emulator: each pair of
// double quotes becomes one, then placeholders are expanded.
std::string HelperProgramArguments(const std::string& opt, const LaunchValues& values);

// The window search interval in whole seconds, at least 1 so that the wait
// neither divides by zero nor spins.
int WindowSearchIntervalSeconds(const EmulatorConfig& config);

// The exit request of a launch: "@@TermProc@@" with UseTerminateProcess, else
// the exit script; empty when the emulator cannot be ended by the program.
std::string ExitRequestText(const LaunchPlan& plan);
inline constexpr const char* kTerminateProcessRequest = "@@TermProc@@";

}  // namespace vel
