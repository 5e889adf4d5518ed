#include "launch/launch_plan.h"

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

std::string WithoutTrailingSeparator(std::string folder) {
  if (!folder.empty() && EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

// The image rows of the launch; a failing query is shown and gives none.
std::vector<ImageRow> ReadImageRows(const LaunchRequest& request, bool alterEgo, LibraryConnection& db) {
  std::string sql = ImageListStatement(request.item.fileName, request.diskCount, alterEgo);
  if (auto error = db.Query(sql)) {
    ShowMessage(Utf8ToAnsi(*error) + Jp(alterEgo ? "分身テーブルを参照できませんでした。\n"
                                                 : "メインテーブルを参照できませんでした。\n"),
                Jp("DBエラー"), kMbOk | kMbIconError, request.owner);
    return {};
  }
  return ImageRowsFromResult(db, alterEgo);
}

// Checks the extraction folder (offering to create it) and the executable,
// showing what is missing.
bool FoldersAndExecutableExist(const LaunchPlan& plan, void* owner) {
  const EmulatorConfig& c = plan.config;
  const std::string notFound = Jp("イメージファイルの解凍先フォルダが見つかりませんでした\n処理を中止します");
  if (c.extract >= 1) {
    if (c.extractPath.empty()) {
      ShowMessage(notFound, Jp("エラー"), kMbOk | kMbIconError, owner);
      return false;
    }
    if (!DirectoryExists(c.extractPath)) {
      int answer = ShowMessage(Jp("イメージファイルの解凍先フォルダが見つかりませんでした\nフォルダを作成しますか？\n→") +
                                   c.extractPath,
                               Jp("確認"), kMbYesNo | kMbIconQuestion, owner);
      if (answer != kIdYes) {
        ShowMessage(notFound, Jp("エラー"), kMbOk | kMbIconError, owner);
        return false;
      }
      if (!CreateFolder(c.extractPath) || !DirectoryExists(c.extractPath)) {
        ShowMessage(Jp("解凍先フォルダを作成できませんでした\n処理を中止します"), Jp("エラー"), kMbOk | kMbIconError,
                    owner);
        return false;
      }
    }
  }
  if (plan.exec.empty() || !FileExists(plan.exec)) {
    ShowMessage(Jp("エミュレータ実行ファイルが見つかりませんでした\n処理を中止します"), Jp("エラー"),
                kMbOk | kMbIconError, owner);
    return false;
  }
  return true;
}

}  // namespace

std::string PlanLaunch(const LaunchRequest& request, LibraryConnection& db, LaunchPlan& plan) {
  plan = LaunchPlan{};
  plan.configPath = ConfigPathForLaunch(request.baseFolder, request.item.machineName, request.chosenConfig,
                                        request.bigPicture);
  if (!IsExistingConfigFile(plan.configPath)) return Jp("エミュレータ設定ファイルが見つかりません。");
  ConfigReadResult read = ReadEmulatorConfig(plan.configPath);
  plan.config = read.config;
  for (const LongValue& value : read.longValues)
    if (value.pathLimit)
      return Jp("エミュレータ設定の値が長すぎます。\n[") + value.section + "] " + value.key + " (" +
             std::to_string(value.length) + Jp(" バイト)");
  EmulatorConfig& config = plan.config;
  // Relative extraction folders are taken from the base folder, never from
  // whatever folder is current.
  if (!config.extractPath.empty()) config.extractPath = ResolveFromBase(config.extractPath, request.baseFolder);
  config.extractPath = WithoutTrailingSeparator(config.extractPath);
  plan.alterEgo = !request.alterEgoFile.empty();
  if (plan.alterEgo) {
    config.extract = 0;
    config.extractAllDelete = 0;
    config.extractPath = WithoutTrailingSeparator(SplitPath(request.alterEgoFile).folder);
  }

  ImageListSettings imageSettings;
  imageSettings.extract = config.extract;
  imageSettings.extractPath = config.extractPath;
  imageSettings.imageFnReplace = config.imageFnReplace;
  imageSettings.doubleQuote = config.doubleQuart == 1;
  imageSettings.alterEgo = plan.alterEgo;
  imageSettings.bootDisk = request.bootDisk;
  plan.images = PlanImages(ReadImageRows(request, plan.alterEgo, db), imageSettings);
  if (!plan.images.error.empty()) return plan.images.error;

  LaunchValues& values = plan.values;
  values.images = plan.images.images;
  values.imageCount = plan.images.count;
  values.item = request.item;
  values.baseFolder = request.baseFolder;
  values.programFolder = request.programFolder;
  values.bootDisk = request.bootDisk;
  values.bootTime = request.bootTime;
  plan.exec = ExpandExecutable(config.exec, values);
  values.executable = plan.exec;
  plan.emulatorFolder = WithoutTrailingSeparator(SplitPath(plan.exec).folder);

  if (!FoldersAndExecutableExist(plan, request.owner))
    return Jp("エミュレータのパス又は、解凍・コピー先のフォルダが存在するかを確認して下さい。");
  plan.keyScript = ReadCompanionFile(plan.configPath, static_cast<int>(Companion::kKeyScript));
  plan.rewriteScript = ReadCompanionFile(plan.configPath, static_cast<int>(Companion::kRewriteScript));
  plan.exitScript = ReadCompanionFile(plan.configPath, static_cast<int>(Companion::kExitScript));
  if (request.demoMode && ExitRequestText(plan).empty())
    return Jp("終了コマンドが未設定のエミュレータ設定はデモモードでは起動できません。");

  plan.option = ExpandLaunchValue(config.option, values);
  plan.commandLine = "\"" + plan.exec + "\" " + plan.option;
  if (plan.commandLine.size() > kLongestCommandLine)
    return Jp("エミュレータのコマンドラインが長すぎます。\n") + std::to_string(plan.commandLine.size()) +
           Jp(" バイト");
  plan.searchText = WindowSearchText(config, values);
  plan.exclusionText = ExpandLaunchValue(config.ttSrchExclusionText, values);
  return "";
}

std::string HelperProgramArguments(const std::string& opt, const LaunchValues& values) {
  std::string arguments;
  for (size_t i = 0; i < opt.size(); ++i) {
    arguments += opt[i];
    if (opt[i] == '"' && i + 1 < opt.size() && opt[i + 1] == '"') ++i;
  }
  return ExpandLaunchValue(arguments, values);
}

int WindowSearchIntervalSeconds(const EmulatorConfig& config) {
  return config.ttSrchChekInterval >= 1 ? config.ttSrchChekInterval : 1;
}

std::string ExitRequestText(const LaunchPlan& plan) {
  if (plan.config.useTerminateProcess == 1) return kTerminateProcessRequest;
  return plan.exitScript;
}

}  // namespace vel
