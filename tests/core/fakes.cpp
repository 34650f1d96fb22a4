#include "fakes.h"

#include <algorithm>
#include <cwctype>

#include "failure.h"

namespace roamwise::testing {

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

namespace {

std::string LowerA(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool Glob(const wchar_t* p, const wchar_t* s) {
    if (!*p) return !*s;
    if (*p == L'*') return Glob(p + 1, s) || (*s && Glob(p, s + 1));
    if (!*s) return false;
    if (*p == L'?' || std::towlower(*p) == std::towlower(*s)) return Glob(p + 1, s + 1);
    return false;
}

std::wstring LastPart(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

std::wstring Unquote(std::wstring s) {
    while (!s.empty() && s.back() == L' ') s.pop_back();
    if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') return s.substr(1, s.size() - 2);
    return s;
}

bool StartsWith(const std::wstring& s, const std::wstring& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

FakePlatform::FakePlatform() {
    AddDirectory(L"C:");
    AddDirectory(appDir);
    version.dwPlatformId = 2;
    version.dwMajorVersion = 5;
    version.dwMinorVersion = 1;
    version.dwBuildNumber = 2600;
}

std::wstring FakePlatform::Resolve(const std::wstring& path) const {
    if (StartsWith(Lower(path), Lower(shortAppDir))) return appDir + path.substr(shortAppDir.size());
    return path;
}

std::wstring FakePlatform::Parent(const std::wstring& path) const {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

void FakePlatform::RefuseIfLocked(const std::wstring& path) {
    if (!lockedDirectory.empty() && Lower(Parent(Resolve(path))) == Lower(lockedDirectory))
        throw Failure{kErrorAccessDenied, ErrorText(kErrorAccessDenied)};
}

FakePlatform::Entry* FakePlatform::Find(const std::wstring& path) {
    const std::wstring key = Lower(Resolve(path));
    for (auto& e : entries_) {
        if (Lower(e.path) == key) return &e;
    }
    return nullptr;
}

const FakePlatform::Entry* FakePlatform::Find(const std::wstring& path) const {
    return const_cast<FakePlatform*>(this)->Find(path);
}

void FakePlatform::AddDirectory(const std::wstring& path) {
    if (!Find(path)) entries_.push_back({path, "", attr::kDirectory});
}

void FakePlatform::AddFile(const std::wstring& path, const std::string& content, std::uint32_t attributes) {
    if (Entry* e = Find(path)) {
        e->content = content;
        e->attributes = attributes;
        return;
    }
    entries_.push_back({path, content, attributes});
}

bool FakePlatform::Exists(const std::wstring& path) const { return Find(path) != nullptr; }

std::uint32_t FakePlatform::Attributes(const std::wstring& path) const {
    const Entry* e = Find(path);
    return e ? e->attributes : 0;
}

std::string FakePlatform::Content(const std::wstring& path) const {
    const Entry* e = Find(path);
    return e ? e->content : "<missing>";
}

std::vector<DirEntry> FakePlatform::FindFiles(const std::wstring& pattern) {
    if (findFails) throw Failure{kErrorAccessDenied, ErrorText(kErrorAccessDenied)};
    const std::wstring full = Resolve(pattern);
    const std::wstring dir = Lower(Parent(full));
    const std::wstring mask = LastPart(full);
    std::vector<DirEntry> found;
    if (!Find(Parent(full))) return found;
    for (const auto& e : entries_) {
        if (Lower(Parent(e.path)) == dir && Glob(mask.c_str(), LastPart(e.path).c_str()))
            found.push_back({LastPart(e.path), e.attributes});
    }
    return found;
}

void FakePlatform::DeleteFile(const std::wstring& path) {
    Entry* e = Find(path);
    if (!e) throw Failure{kErrorFileNotFound, ErrorText(kErrorFileNotFound)};
    RefuseIfLocked(path);
    if (e->attributes & (attr::kDirectory | attr::kReadOnly)) throw Failure{kErrorAccessDenied, ErrorText(kErrorAccessDenied)};
    touched.push_back(L"delete " + Resolve(path));
    entries_.erase(entries_.begin() + (e - entries_.data()));
}

void FakePlatform::MoveFile(const std::wstring& from, const std::wstring& to) {
    if (!Find(from)) throw Failure{kErrorFileNotFound, ErrorText(kErrorFileNotFound)};
    RefuseIfLocked(from);
    RefuseIfLocked(to);
    if (Entry* old = Find(to)) entries_.erase(entries_.begin() + (old - entries_.data()));
    Find(from)->path = Resolve(to);
    touched.push_back(L"move " + Resolve(from) + L" -> " + Resolve(to));
}

void FakePlatform::SetReadOnly(const std::wstring& path, bool readOnly) {
    Entry* e = Find(path);
    if (!e) throw Failure{kErrorFileNotFound, ErrorText(kErrorFileNotFound)};
    RefuseIfLocked(path);
    e->attributes = readOnly ? (e->attributes | attr::kReadOnly) : (e->attributes & ~attr::kReadOnly);
    touched.push_back(L"attributes " + Resolve(path));
}

void FakePlatform::CreateDirectory(const std::wstring& path) {
    if (const Entry* e = Find(path)) {
        if (e->attributes & attr::kDirectory) return;
        throw Failure{183, ErrorText(183)};
    }
    if (!Find(Parent(Resolve(path)))) throw Failure{kErrorPathNotFound, ErrorText(kErrorPathNotFound)};
    RefuseIfLocked(path);
    touched.push_back(L"mkdir " + Resolve(path));
    AddDirectory(Resolve(path));
}

void FakePlatform::WriteFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring full = Resolve(path);
    const Entry* parent = Find(Parent(full));
    if (!parent || !(parent->attributes & attr::kDirectory)) throw Failure{kErrorPathNotFound, ErrorText(kErrorPathNotFound)};
    if (const Entry* e = Find(full)) {
        if (e->attributes & (attr::kDirectory | attr::kReadOnly)) throw Failure{kErrorAccessDenied, ErrorText(kErrorAccessDenied)};
    }
    RefuseIfLocked(full);
    touched.push_back(L"write " + full);
    AddFile(full, bytes);
}

std::string FakePlatform::ReadFile(const std::wstring& path) {
    const Entry* e = Find(path);
    if (!e || (e->attributes & attr::kDirectory)) throw Failure{kErrorFileNotFound, ErrorText(kErrorFileNotFound)};
    return e->content;
}

std::uint32_t FakePlatform::GetShortPathNameA(const std::string& longPath, char* buffer, std::uint32_t bufferLength) {
    const std::wstring full = Resolve(FromAnsi(longPath));
    if (!Find(full)) return 0;
    std::wstring shortForm = full;
    if (StartsWith(Lower(full), Lower(appDir))) shortForm = shortAppDir + full.substr(appDir.size());
    std::string ansi;
    ToAnsi(shortForm, ansi);
    if (ansi.size() + 1 > bufferLength) return static_cast<std::uint32_t>(ansi.size() + 1);
    std::copy(ansi.begin(), ansi.end(), buffer);
    buffer[ansi.size()] = '\0';
    return static_cast<std::uint32_t>(ansi.size());
}

// --- registry ---

void FakePlatform::SetRegistryValue(const std::string& key, const std::string& name, std::uint32_t type,
                                    const std::string& bytes) {
    registry[LowerA(key)][LowerA(name)] = {type, bytes};
}

bool FakePlatform::HasKey(const std::string& key) const { return registry.count(LowerA(key)) != 0; }

const FakePlatform::Value* FakePlatform::RegistryValue(const std::string& key, const std::string& name) const {
    auto k = registry.find(LowerA(key));
    if (k == registry.end()) return nullptr;
    auto v = k->second.find(LowerA(name));
    return v == k->second.end() ? nullptr : &v->second;
}

long FakePlatform::RegOpenKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t, std::uint32_t access,
                                 RegKey* key) {
    ++registryOpens;
    if (root != kHkeyLocalMachine) return 6;
    if (!HasKey(subKey)) return kErrorFileNotFound;
    if (registryReadOnly && (access & 0x02)) return kErrorAccessDenied;
    *key = nextHandle_++;
    handles_[*key] = LowerA(subKey);
    ++openKeys;
    return kErrorSuccess;
}

long FakePlatform::RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* dataLength) {
    auto h = handles_.find(key);
    if (h == handles_.end()) return 6;
    const Value* v = RegistryValue(h->second, valueName);
    if (!v) return kErrorFileNotFound;
    *type = v->type;
    if (data) {
        if (*dataLength < v->bytes.size()) {
            *dataLength = static_cast<std::uint32_t>(v->bytes.size());
            return kErrorMoreData;
        }
        std::copy(v->bytes.begin(), v->bytes.end(), data);
    }
    *dataLength = static_cast<std::uint32_t>(v->bytes.size());
    return kErrorSuccess;
}

long FakePlatform::RegCreateKeyExA(std::uint32_t root, const std::string& subKey, std::uint32_t, std::uint32_t,
                                   RegKey* key) {
    ++registryOpens;
    if (root != kHkeyLocalMachine) return 6;
    if (registryReadOnly) return kErrorAccessDenied;
    // Every missing key along the path is created.
    for (std::size_t pos = 0; pos != std::string::npos;) {
        pos = subKey.find('\\', pos + 1);
        registry[LowerA(subKey.substr(0, pos))];
    }
    *key = nextHandle_++;
    handles_[*key] = LowerA(subKey);
    ++openKeys;
    return kErrorSuccess;
}

long FakePlatform::RegSetValueExA(RegKey key, const std::string& valueName, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t dataLength) {
    auto h = handles_.find(key);
    if (h == handles_.end()) return 6;
    registry[h->second][LowerA(valueName)] = {type, std::string(data, data + dataLength)};
    return kErrorSuccess;
}

long FakePlatform::RegCloseKey(RegKey key) {
    if (!handles_.erase(key)) return 6;
    --openKeys;
    return kErrorSuccess;
}

// --- processes ---

Process FakePlatform::StartHidden(const std::wstring& commandLine, const std::wstring& currentDirectory) {
    if (startFails) throw Failure{kErrorFileNotFound, ErrorText(kErrorFileNotFound)};
    starts.push_back({commandLine, currentDirectory});
    running_.push_back(commandLine);
    const auto n = static_cast<std::uint32_t>(running_.size());
    return {n, n};
}

std::uint32_t FakePlatform::WaitForExit(Process process) {
    if (duringWait) {
        auto hook = std::move(duringWait);
        duringWait = nullptr;
        hook();
    }
    return RunTool(running_.at(process.handle - 1));
}

// The command interpreter reads the batch file when it runs, so a batch
// file rewritten during the wait runs the new line.
std::uint32_t FakePlatform::RunTool(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    if (Lower(Unquote(commandLine)).size() >= 12 &&
        Lower(Unquote(commandLine)).compare(Unquote(commandLine).size() - 12, 12, L"settings.bat") == 0) {
        const Entry* batch = Find(Unquote(commandLine));
        if (!batch) return 1;
        line = FromAnsi(batch->content);
        if (line.size() < 2 || line.compare(line.size() - 2, 2, L"\r\n") != 0 ||
            line.find(L"\r\n") != line.size() - 2)
            return 9009;  // not one whole line
        line.resize(line.size() - 2);
    }
    const auto redirect = line.find(L" > ");
    const std::wstring command = line.substr(0, redirect);
    std::wstring output;
    if (redirect != std::wstring::npos) {
        output = Unquote(line.substr(redirect + 3));
        const Entry* parent = Find(Parent(Resolve(output)));
        if (!parent || !(parent->attributes & attr::kDirectory)) return 1;
        const Entry* target = Find(output);
        if (target && (target->attributes & (attr::kDirectory | attr::kReadOnly))) return 1;  // cannot redirect
    }
    if (command == L"netsh -c interface dump") {
        if (dumpExitCode != 0) {
            WriteFile(output, partialDump);
            return static_cast<std::uint32_t>(dumpExitCode);
        }
        WriteFile(output, dumpText);
        return 0;
    }
    if (command == L"ipconfig /all") {
        WriteFile(output, ipconfigText);
        return 0;
    }
    if (StartsWith(command, L"netsh -f ")) {
        netshScripts.push_back(command.substr(9));
        return static_cast<std::uint32_t>(loadExitCode);
    }
    return 9009;
}

bool FakePlatform::GetVersionExA(OsVersionInfoA& info) {
    versionSizesSeen.push_back(info.dwOSVersionInfoSize);
    if (versionCallFails) return false;
    info.dwMajorVersion = version.dwMajorVersion;
    info.dwMinorVersion = version.dwMinorVersion;
    info.dwBuildNumber = version.dwBuildNumber;
    info.dwPlatformId = version.dwPlatformId;
    return true;
}

// The fake's code page is Latin-1: anything above U+00FF does not survive.
bool FakePlatform::ToAnsi(const std::wstring& text, std::string& ansi) {
    ansi.clear();
    bool exact = true;
    for (wchar_t c : text) {
        if (static_cast<unsigned>(c) > 0xFF) {
            ansi += '?';
            exact = false;
        } else {
            ansi += static_cast<char>(c);
        }
    }
    return exact;
}

std::wstring FakePlatform::FromAnsi(const std::string& ansi) {
    std::wstring text;
    for (char c : ansi) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

std::wstring FakePlatform::ErrorText(long code) {
    switch (code) {
    case 2: return L"The system cannot find the file specified.";
    case 3: return L"The system cannot find the path specified.";
    case 5: return L"Access is denied.";
    case 183: return L"Cannot create a file when that file already exists.";
    default: return L"Unknown error";
    }
}

// --- view ---

Answer FakeView::ShowMessage(const std::wstring& text, const std::wstring& title, Buttons buttons) {
    messages.push_back({text, title, buttons});
    events.push_back(L"message: " + title);
    if (onMessage) {
        auto hook = std::move(onMessage);
        onMessage = nullptr;
        hook();
    }
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

void FakeView::ListClear() {
    items.clear();
    selected = -1;
    events.push_back(L"list cleared");
}

void FakeView::SetStatus(const std::wstring& text) {
    status = text;
    events.push_back(L"status:" + text);
}

void FakeView::SetBusyPointer(bool busy) {
    busyPointer = busy;
    events.push_back(busy ? L"pointer: busy" : L"pointer: normal");
}

void FakeView::MoveWindow(WindowId window, long left, long top) {
    Rect& r = window == WindowId::Main ? mainRect : viewerRect;
    r = {left, top, left + r.Width(), top + r.Height()};
}

void FakeView::CreateViewer() {
    viewerCreated = true;
    viewerShown = false;
    viewerText.clear();
    ++viewerCreations;
}

void FakeView::DestroyViewer() {
    viewerCreated = false;
    viewerShown = false;
    viewerText.clear();
}

void FakeView::Select(const std::wstring& item) {
    selected = static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
}

}  // namespace roamwise::testing
