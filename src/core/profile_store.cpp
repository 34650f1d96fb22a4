#include "profile_store.h"

#include <cwctype>

namespace roamwise {

const wchar_t kDumpWorkFile[] = L"~dump.tmp";

namespace {

// What a profile is renamed to while a save replaces it: as long as ".txt",
// so it fits wherever the profile does, and no name a person or another
// program gives a file, so recovery touches only these.
const wchar_t kKeptAsideExtension[] = L".~rw";

// Longest path the file functions take, less the terminating zero.
constexpr std::size_t kMaxPath = 259;

bool EndsWith(const std::wstring& text, const wchar_t* end) {
    const std::wstring tail(end);
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::wstring KeptAsidePath(const std::wstring& profile) {
    return profile.substr(0, profile.size() - 4) + kKeptAsideExtension;
}

bool IsDeviceName(std::wstring name) {
    // Devices are reached with or without an extension: CON, PRN, AUX, NUL,
    // the consoles, the clock (Windows 2000), COM and LPT with 1 to 9 or a
    // superscript one to three.
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') name.pop_back();
    for (auto& c : name) c = static_cast<wchar_t>(std::towupper(c));
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
        if (name == device) return true;
    const std::wstring stem = name.substr(0, 3);
    return name.size() == 4 && (stem == L"COM" || stem == L"LPT") &&
           std::wstring(L"123456789\u00b9\u00b2\u00b3").find(name[3]) != std::wstring::npos;
}

std::wstring BadCharacter(const std::wstring& fileName) {
    // Characters Windows forbids in file names, then those the command
    // interpreter would take as cutting, redirecting or expanding the line.
    for (wchar_t c : fileName) {
        if (c < 32 || c == 127) return L"A profile name cannot contain control characters.";
        if (std::wstring(L"\\/:*?\"<>|&^%!();,=").find(c) != std::wstring::npos)
            return L"A profile name cannot contain the character \"" + std::wstring(1, c) + L"\".";
    }
    return L"";
}

}  // namespace

std::wstring ProfileFileName(const std::wstring& typed) {
    std::wstring name = typed;
    for (auto& c : name) {
        if (c == L' ') c = L'_';
    }
    return name;
}

ProfileStore::ProfileStore(Platform& platform, const std::wstring& programFolder)
    : platform_(platform), folder_(programFolder + L"\\Profiles") {}

std::vector<std::wstring> ProfileStore::Names() {
    std::vector<std::wstring> names;
    for (const FileEntry& entry : platform_.List(folder_ + L"\\*")) {
        if (!entry.folder && EndsWith(entry.name, L".txt"))
            names.push_back(entry.name.substr(0, entry.name.size() - 4));
    }
    return names;
}

bool ProfileStore::Exists(const std::wstring& name) {
    const std::optional<FileEntry> file = Find(PathOf(name));
    return file && platform_.SameFileName(file->name, name + L".txt") && EndsWith(file->name, L".txt");
}

std::optional<FileEntry> ProfileStore::Find(const std::wstring& path) {
    try {
        for (const FileEntry& entry : platform_.List(path)) {
            if (!entry.folder) return entry;
        }
    } catch (const Failure&) {
        // an invalid name or a missing drive finds nothing
    }
    return std::nullopt;
}

std::wstring ProfileStore::NameProblem(const std::wstring& fileName) {
    const std::wstring bad = BadCharacter(fileName);
    if (!bad.empty()) return bad;
    // "." and ".." name folders: a load or a shortcut would take them for a path.
    if (fileName.find_first_not_of(L'.') == std::wstring::npos)
        return L"\"" + fileName + L"\" cannot be the name of a file.";
    std::string ansi;
    if (!platform_.ToAnsi(fileName, ansi)) return L"A profile name can only hold characters of the system's code page.";
    if (IsDeviceName(fileName)) return L"\"" + fileName + L"\" is a name Windows keeps for a device.";
    platform_.ToAnsi(PathOf(fileName), ansi);
    if (ansi.size() > kMaxPath) return L"The profile name is too long.";
    return L"";
}

std::wstring ProfileStore::ListedProfile(const std::wstring& given, std::wstring& problem) {
    const std::wstring::size_type slash = given.find_first_of(L"\\/");
    if (slash != std::wstring::npos)
        problem = L"A profile name cannot contain the character \"" + std::wstring(1, given[slash]) + L"\".";
    else if (given == L"." || given == L"..")
        problem = L"\"" + given + L"\" names a folder, not a profile.";
    else if (IsDeviceName(given))
        problem = L"\"" + given + L"\" is a name Windows keeps for a device.";
    if (!problem.empty()) {
        problem = L"Roamwise cannot load \"" + given + L"\". " + problem;
        return L"";
    }
    std::vector<std::wstring> candidates = {given, ProfileFileName(given)};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::wstring& name = candidates[i];
        if (name.size() > 4 && platform_.SameFileName(name.substr(name.size() - 4), L".txt"))
            candidates.push_back(name.substr(0, name.size() - 4));
    }
    const std::vector<std::wstring> listed = Names();
    for (const std::wstring& candidate : candidates) {
        for (const std::wstring& name : listed)
            if (platform_.SameFileName(name, candidate)) return name;
    }
    problem = L"There is no profile \"" + given + L"\" in the Profiles folder.";
    return L"";
}

bool ProfileStore::KeepAside(const std::wstring& profile) {
    if (!Find(profile)) return false;
    platform_.Move(profile, KeptAsidePath(profile));
    return true;
}

void ProfileStore::DeleteIfThere(const std::wstring& path) {
    try {
        platform_.Delete(path);
    } catch (const Failure&) {
        // nothing was there
    }
}

void ProfileStore::PutBack(const std::wstring& profile, bool keptAside, const std::wstring& dumpFile) {
    DeleteIfThere(dumpFile);
    if (dumpFile != profile) DeleteIfThere(profile);
    if (keptAside) platform_.Move(KeptAsidePath(profile), profile);
}

void ProfileStore::DropKeptAside(const std::wstring& profile) {
    try {
        Delete(KeptAsidePath(profile));
    } catch (const Failure&) {
        // a left-over copy of the old profile harms nothing
    }
}

void ProfileStore::RecoverInterruptedSaves() {
    try {
        for (const FileEntry& entry : platform_.List(folder_ + L"\\*" + kKeptAsideExtension)) {
            // The pattern also matches longer extensions through short names.
            if (entry.folder || !EndsWith(entry.name, kKeptAsideExtension)) continue;
            const std::wstring kept = folder_ + L"\\" + entry.name;
            platform_.Move(kept, kept.substr(0, kept.size() - 4) + L".txt");
        }
    } catch (const Failure&) {
        // what cannot be put back now stays for the next start
    }
    DeleteIfThere(folder_ + L"\\" + kDumpWorkFile);
}

void ProfileStore::Rename(const std::wstring& from, const std::wstring& to) {
    const std::wstring source = PathOf(from), target = PathOf(to);
    if (!platform_.SameFileName(from, to)) return platform_.Rename(source, target);
    const std::wstring aside = KeptAsidePath(source);
    platform_.Rename(source, aside);
    try {
        platform_.Rename(aside, target);
    } catch (const Failure&) {
        platform_.Rename(aside, source);
        throw;
    }
}

void ProfileStore::Delete(const std::wstring& profile) {
    const std::optional<FileEntry> file = Find(profile);
    const bool readOnly = file && file->readOnly;
    if (readOnly) platform_.SetReadOnly(profile, false);
    try {
        platform_.Delete(profile);
    } catch (const Failure&) {
        // Should the deletion still fail, the file keeps its protection.
        if (readOnly) platform_.SetReadOnly(profile, true);
        throw;
    }
}

}  // namespace roamwise
