#pragma once
// Carries out the directives of an installation script section on the file system and the
// configuration store. The subset:
//   [DestinationDirs]  list = 65600[,subfolder]   (65600: the chosen installation folder;
//                      DefaultDestDir for lists without an entry)
//   CopyFiles = list[,list...] | @file   lines "target[,source[,,flags]]"; the source is
//                      SCRIPT_FOLDER/subfolder/source; a file is copied only when it is missing
//                      or older than the source; flag 0x10 keeps an existing file
//   DelFiles  = list[,list...]    lines "file"; only regular files inside the folder are deleted
//   AddReg    = section[,...]     lines "root,key,name,flags,value" (flag 0x2: keep existing)
//   DelReg    = section[,...]     lines "root,key[,name]" (no name: the whole key)
//   UpdateInis= section[,...]     lines "file,section,old-entry,new-entry"; the file lies in the
//                      section's destination folder; "Key=Value" as new entry sets it, an empty
//                      new entry removes the old entry's key
// Every path a script names must stay inside the installation folder. No wx here.
#include <filesystem>
#include <string>
#include <vector>

#include "setup/config_store.hpp"
#include "setup/inf_script.hpp"

namespace tarvik::setup {

inline constexpr int kDestinationDirId = 65600;

// What an installation created, so that a failed one can be taken back.
struct Journal {
    std::vector<std::filesystem::path> files;    // files that did not exist before
    std::vector<std::filesystem::path> folders;  // folders that did not exist before
    // Deletes the files, then the folders that are empty, newest first.
    void Rollback();
};

// Creates the folder and its missing parents, recording the ones it made. False on failure.
bool CreateFolders(const std::filesystem::path& folder, Journal& journal);

class InfRunner {
public:
    // `dest` stands for 65600; `sourceRoot` is the folder the source files lie below.
    InfRunner(const InfScript& inf, std::filesystem::path dest, std::filesystem::path sourceRoot);

    // The destination folder of a file list (or of an UpdateInis section). Throws InfError for
    // an unknown directory identifier or a subfolder that would leave the installation folder.
    std::filesystem::path TargetDir(const std::string& listSection) const;

    // The directive's value split into names ("" for a missing directive).
    std::vector<std::string> Directive(const std::string& section, const std::string& name) const;

    // Each throws InfError on the first failure (a failed copy, an unsafe name, ...).
    void CopyFiles(const std::string& section, Journal& journal) const;
    // Copies one file, only when the target is missing or older. True when it copied.
    bool CopyOne(const std::filesystem::path& source, const std::filesystem::path& target, bool keepExisting,
                 Journal& journal) const;
    void AddReg(const std::string& section, ConfigStore& store) const;
    void UpdateInis(const std::string& section, Journal& journal) const;
    // Removal never stops half-way: what cannot be removed is listed in the returned problems.
    std::vector<std::string> DelFiles(const std::string& section) const;
    void DelReg(const std::string& section, ConfigStore& store) const;

    // The folders the section's file lists go to, deepest first.
    std::vector<std::filesystem::path> ListFolders(const std::string& section, const std::string& directive) const;

private:
    const InfScript& inf_;
    std::filesystem::path dest_, sourceRoot_;
    std::filesystem::path SafeJoin(const std::filesystem::path& dir, const std::string& name) const;
};

}  // namespace tarvik::setup
