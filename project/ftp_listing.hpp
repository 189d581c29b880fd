#pragma once
// Directory listings as FTP servers send them: MLSD lines ("type=file;size=12;modify=...; name")
// and the LIST formats in use (Unix "ls -l" and DOS). Lines that cannot be read are left out;
// nothing here trusts the server.
#include <string>
#include <vector>

#include "project/online_update.hpp"

namespace tarvik {

// MLSD: exact sizes and UTC times. "cdir" and "pdir" entries are left out.
std::vector<RemoteEntry> ParseMlsdListing(const std::string& text);
// LIST: names, directory flags and sizes; times are too coarse there (no seconds, often no
// year) and are left empty for SIZE and MDTM to fill in.
std::vector<RemoteEntry> ParseListListing(const std::string& text);
// An MDTM or MLSD time "YYYYMMDDHHMMSS[.fff]" (UTC) as seconds since the epoch; false if malformed.
bool ParseFtpTime(const std::string& text, std::int64_t& epochSeconds);

}  // namespace tarvik
