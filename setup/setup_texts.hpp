#pragma once
// Numbers of the installer's and uninstaller's texts in the language packs (80-setup.txt).
// They lie apart from the program's own numbers, as both programs share the packs.
namespace tarvik::setup {

constexpr int SetupText(int n) { return 80000 + n; }      // installer string n
constexpr int UninstallText(int n) { return 81000 + n; }  // uninstaller string n

inline constexpr int kSetupTitle = SetupText(0);
inline constexpr int kMenuComment = SetupText(161);
// The fixed failure message; it has no text number.
inline constexpr const char* kScriptFailed = "Installation script did not complete successfully!";
inline constexpr const char* kScriptFailedCaption = "Product Sample Install Error";

}  // namespace tarvik::setup
