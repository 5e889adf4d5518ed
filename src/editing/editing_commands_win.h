#pragma once
// The commands of the 編集 menu that change or open items of the library.
namespace vel {
void RegisterEditingCommands();
}  // namespace vel
