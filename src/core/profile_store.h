// The profiles: one file per profile, <name>.txt in the Profiles folder
// beside the program. Also the rules a typed name must pass, and the safe
// replace that keeps an old profile aside until a new one is on disk.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform.h"

namespace roamwise {

// The typed name with every blank turned into "_".
std::wstring ProfileFileName(const std::wstring& typed);

class ProfileStore {
public:
    ProfileStore(Platform& platform, const std::wstring& programFolder);

    const std::wstring& Folder() const { return folder_; }
    std::wstring PathOf(const std::wstring& fileName) const { return folder_ + L"\\" + fileName + L".txt"; }

    // Profile names: files ending in a lower-case ".txt", hidden and system
    // ones too, in the order the system lists them. Throws.
    std::vector<std::wstring> Names();
    // Whether the list would show this name: its file is there by that very name.
    bool Exists(const std::wstring& name);
    // The file at path, whatever its attributes, under its long name; nothing
    // for a folder, a missing file or a path the system cannot look up.
    std::optional<FileEntry> Find(const std::wstring& path);
    // Why a profile file name cannot be used, or the empty text.
    std::wstring NameProblem(const std::wstring& fileName);
    // The listed profile a name given for a load means: the name the list
    // shows (letter case aside), the name as Save stores it, either with
    // ".txt". Empty, with why in problem, for a path, a device, or a name
    // the list does not show. Throws when the folder cannot be listed.
    std::wstring ListedProfile(const std::wstring& given, std::wstring& problem);

    // Moves an existing profile aside; gives whether there was one. Throws.
    bool KeepAside(const std::wstring& profile);
    // After a failed dump: removes what it left and puts the old one back.
    void PutBack(const std::wstring& profile, bool keptAside, const std::wstring& dumpFile);
    // After a good dump: the old profile goes, even a read-only one.
    void DropKeptAside(const std::wstring& profile);
    // At start-up: a replace that never finished leaves the old profile,
    // and no dump work file stays behind. No other file is touched.
    void RecoverInterruptedSaves();
    // Deletes a profile file, read-only or not. Throws.
    void Delete(const std::wstring& profile);
    // Renames a profile, replacing nothing. A change of letter case alone
    // goes through the keep-aside name (some file systems would keep the
    // old case), which a start after a crash puts back. Throws.
    void Rename(const std::wstring& from, const std::wstring& to);

private:
    void DeleteIfThere(const std::wstring& path);

    Platform& platform_;
    std::wstring folder_;
};

// Where a dump goes first when cmd could not spell the profile's name.
extern const wchar_t kDumpWorkFile[];
}  // namespace roamwise
