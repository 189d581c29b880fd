#pragma once
// The release this program stands for: shown in the About box and written into drawings
// ("Tarvik 2.7") and printed sheets.
namespace tarvik {

inline constexpr double kProgramVersion = 2.7;
inline constexpr const char* kProgramReleaseDate = "10/2010";

}  // namespace tarvik
