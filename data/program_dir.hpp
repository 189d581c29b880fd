#pragma once
// The program folder: where the programs, tarvik.ini, the language packs and the catalogues lie.
#include <filesystem>

namespace tarvik {

// The directory of the running program unless SetProgramDir chose another one.
const std::filesystem::path& ProgramDir();
void SetProgramDir(const std::filesystem::path& dir);

}  // namespace tarvik
