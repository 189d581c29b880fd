#pragma once
// The names of the program files in the program folder, shared by the desktop program (which
// hands over to the updater and removes the backup after a good start) and tarvik-update.
namespace tarvik {

inline constexpr const char* kProgramFile = "tarvik";
// A downloaded program waits under this name until tarvik-update puts it in place.
inline constexpr const char* kNewProgramFile = "Tarvik.new";
// The program that was replaced, kept until its successor has started once.
inline constexpr const char* kProgramBackupFile = "tarvik.previous";
inline constexpr const char* kUpdaterFile = "tarvik-update";
// The update's log, beside the calculation log.
inline constexpr const char* kUpdateLogFile = "update.log";

}  // namespace tarvik
