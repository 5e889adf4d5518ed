#pragma once
// The commands of the input settings.
namespace vel {

// Registers ジョイスティックの設定 (1218).
void RegisterInputCommands();

}  // namespace vel
