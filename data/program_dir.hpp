#pragma once
// The program folder: where the programs, tarvik.ini, the language packs and the catalogues lie.
#include <filesystem>
#include <string>

namespace tarvik {

// The directory of the running program unless SetProgramDir chose another one.
const std::filesystem::path& ProgramDir();
void SetProgramDir(const std::filesystem::path& dir);

// Where the program writes a working file such as the calculation log: the program folder while
// it may write there, else the user's state folder ($XDG_STATE_HOME/tarvik, by default
// ~/.local/state/tarvik, made when missing), so that a program installed for all users still
// keeps its log. The program folder when neither can be written (the write then reports it).
std::filesystem::path WorkingFilePath(const std::filesystem::path& programDir, const std::string& name);

}  // namespace tarvik
