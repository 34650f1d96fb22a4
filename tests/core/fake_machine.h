// A machine and two windows in memory: files, settings, tools that act the
// way cmd and netsh do as far as Roamwise can tell, and windows that record
// what they were told.
#pragma once

#include <algorithm>
#include <cwctype>
#include <functional>
#include <map>
#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

#include "platform.h"
#include "view.h"

namespace fake {
using namespace roamwise;

inline std::wstring Lower(std::wstring s) { return std::transform(s.begin(), s.end(), s.begin(), towlower), s; }
inline std::wstring Replace(std::wstring s, const std::wstring& from, const std::wstring& to) {
    for (auto at = s.find(from); !from.empty() && at != std::wstring::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}
// The front of a queue of what is to happen, or otherwise when it is empty.
template <class T> T Take(std::vector<T>& queue, T otherwise = {}) {
    if (queue.empty()) return otherwise;
    T front = queue.front();
    return queue.erase(queue.begin()), front;
}
// Code page 437 as far as the tests need it; other letters have no OEM form.
const std::string kOemBytes = "\x82\x89\x84\x81";
const std::wstring kOemLetters = L"\u00e9\u00eb\u00e4\u00fc";

struct File { std::wstring path; std::string bytes; bool folder = false, readOnly = false, hidden = false; std::wstring shortName; };

struct Machine : Platform {
    std::wstring program, shortProgram, system = L"C:\\WINDOWS\\system32";
    std::vector<File> files{{program, "", true}};
    std::map<std::wstring, std::wstring> settings, shortcuts;
    std::wstring desktop = L"C:\\Users\\me\\Desktop";
    std::vector<std::wstring> written, starts, netshScripts, locked;
    std::wstring throwing;  // a path whose use throws: a standard exception, out of memory (raise 1), 42 (raise 2)
    int raise = 0;
    std::vector<std::function<void()>> duringWaits;  // one per wait, in order
    std::string dumpText = "dump of 192.0.2.7", ipconfigText = "Windows IP Configuration", netshSays;
    std::vector<ToolOutput*> outputs;
    std::int32_t dumpExit = 0, snapshotExit = 0, loadExit = 0;  // snapshot: the dump before a load
    std::wstring address = L"192.0.2.7", addressAfterLoad = L"192.0.2.8";
    WindowsVersion version{2, 5, 1, 2600};
    bool startFails = false, waitFails = false, noShortProfiles = false, claimed = false;
    FolderClaim claim = FolderClaim::Claimed;
    HandOverAnswer answer{HandOverAnswer::Kind::Answered, 0};  // from the copy already running
    std::wstring handedOver;  // what a start handed to it: the profile, "undo", or "profile /try N"
    std::uint64_t now = 0, keepAt = ~0ull;  // keepAt: when "/keep" is run
    bool remote = false, trialOpen = false;
    int settingReads = 0;

    Machine(const std::wstring& folder, const std::wstring& shortForm) : program(folder), shortProgram(shortForm) { Add(desktop, "", true); }
    // As the system does, a path also reaches a file through its short name.
    bool Names(const File& f, const std::wstring& p) {
        return Lower(f.path) == Lower(p) || (!f.shortName.empty() && Lower(Parent(f.path) + L"\\" + f.shortName) == Lower(p));
    }
    File* Find(const std::wstring& p) { for (auto& f : files) if (Names(f, p)) return &f; return nullptr; }
    std::wstring Parent(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }
    void Touch(const std::wstring& path) {
        written.push_back(path);
        if (path.size() > 259) throw Failure{206, L"too long", L""};  // the system's limit
        if (Lower(path) == Lower(throwing))
            raise ? raise == 1 ? throw std::bad_alloc() : throw 42 : throw std::runtime_error("disk on fire");
        for (auto& l : locked) if (Lower(l) == Lower(path)) throw Failure{32, L"in use", L""};
    }
    File& Add(const std::wstring& path, const std::string& bytes = "", bool folder = false) {
        if (!Find(Parent(path)) && Parent(path) != path) Add(Parent(path), "", true);
        files.push_back({path, bytes, folder});
        return files.back();
    }
    std::wstring ProgramFolder() override { return program; }
    std::vector<FileEntry> List(const std::wstring& pattern) override {
        std::vector<FileEntry> found;
        for (auto& l : locked) if (Lower(l) == Lower(pattern)) throw Failure{5, L"access denied", L""};
        const std::wstring dir = Parent(pattern), mask = Lower(pattern.substr(dir.size() + 1));
        const std::wstring tail = mask[0] == L'*' ? mask.substr(1) : L"\x01";
        const auto ends = [&](std::wstring n) { return (n = Lower(n)).size() >= tail.size() && n.compare(n.size() - tail.size(), tail.size(), tail) == 0; };
        for (auto& f : files) {
            std::wstring name = f.path.substr(f.path.rfind(L'\\') + 1);
            if (Names(f, pattern) || (Lower(Parent(f.path)) == Lower(dir) && (ends(name) || (!f.shortName.empty() && ends(f.shortName)))))
                found.push_back({name, f.folder, f.readOnly, f.hidden, false});
        }
        return found;
    }
    void Delete(const std::wstring& path) override {
        Touch(path);
        File* f = Find(path);
        if (!f || f->folder || f->readOnly) throw Failure{f ? 5L : 2L, L"cannot delete", L""};
        files.erase(files.begin() + (f - files.data()));
    }
    void Move(const std::wstring& from, const std::wstring& to) override {
        Touch(to);
        if (!Find(from)) throw Failure{2, L"not found", L""};
        if (File* old = Find(to); old && old != Find(from)) Delete(to);
        Find(from)->path = to;
    }
    // As Wine does, a change of letter case alone succeeds and changes nothing.
    void Rename(const std::wstring& from, const std::wstring& to) override {
        Touch(to);
        File* f = Find(from);
        if (!f || (Find(to) && Find(to) != f)) throw Failure{f ? 183L : 2L, L"cannot rename", L""};
        if (Find(to) != f) f->path = to;
    }
    std::wstring ProgramFile() override { return program + L"\\Roamwise.exe"; }
    std::wstring DesktopFolder() override { return desktop; }
    void MakeShortcut(const Shortcut& s) override { Write(s.path, ""), shortcuts[s.path] = s.target + L"|" + s.arguments + L"|" + s.folder + L"|" + s.icon; }
    void SetReadOnly(const std::wstring& path, bool on) override { Touch(path), Find(path)->readOnly = on; }
    void CreateFolder(const std::wstring& path) override { if (!Find(path)) Touch(path), Add(path, "", true); }
    void Write(const std::wstring& path, const std::string& bytes) override {
        Touch(path);
        File* f = Find(path);
        if ((f && f->folder) || !Find(Parent(path))) throw Failure{5, L"cannot write", L""};
        (f ? *f : files.emplace_back(File{path})).bytes = bytes;
    }
    std::string Read(const std::wstring& path) override { return Find(path) ? Find(path)->bytes : throw Failure{2, L"not found", L""}; }
    std::wstring ShortPath(const std::wstring& path) override {
        if (!Find(path) || (noShortProfiles && Lower(path).find(L"profiles") != std::wstring::npos)) return L"";
        return shortProgram + path.substr(program.size());
    }
    std::wstring LongPath(const std::wstring& path) { return Replace(path, shortProgram, program); }
    std::optional<std::wstring> ReadSetting(const std::wstring& n) override {
        return ++settingReads, settings.count(n) ? std::optional<std::wstring>(settings[n]) : std::nullopt;
    }
    void WriteSetting(const std::wstring& n, const std::wstring& v) override { n == throwing ? throw Failure{5, L"", L""} : settings[n] = v; }
    std::wstring SystemFolder() override { return system; }
    Process Start(const std::wstring& exe, const std::wstring& line, const std::wstring& folder, ToolOutput* out) override {
        if (startFails) throw Failure{2, L"cannot start", L""};
        starts.push_back(exe + L"|" + line + L"|" + folder), outputs.push_back(out);
        return {starts.size()};
    }
    std::uint32_t WaitForExit(Process p) override {
        if (const auto during = Take(duringWaits)) during();
        if (waitFails) throw Failure{6, L"invalid handle", L""};
        if (auto* out = outputs[p.handle - 1])  // in pieces of three bytes, as a pipe may hand them
            for (std::size_t at = 0; at < netshSays.size(); at += 3) out->Printed(netshSays.data() + at, std::min<std::size_t>(3, netshSays.size() - at));
        return Run(starts[p.handle - 1]);
    }
    // netsh -f reads its script; cmd runs Settings.bat as it reads it, in OEM.
    std::uint32_t Run(const std::wstring& start) {
        const std::wstring line = start.substr(start.find(L'|') + 1);
        if (line.rfind(L"netsh -f ", 0) == 0) {  // the settings become what the script sets, comments aside
            netshScripts.push_back(LongPath(Replace(line.substr(9, line.find(L'|') - 9), L"\"", L"")));
            const std::string script = Read(netshScripts.back());
            dumpText = script[0] == '#' ? script.substr(script.find('\n') + 1) : script;
            if (loadExit == 0) address = addressAfterLoad;
            return loadExit;
        }
        std::wstring batch = FromOem(Read(program + L"\\Settings.bat"));
        batch = Replace(Replace(Replace(batch, L"%~dp0", program + L"\\"), L"%%", L"%"), L"\"", L"");
        const std::wstring target = LongPath(batch.substr(batch.find(L'>') + 2, batch.find(L'\r') - batch.find(L'>') - 2));
        const bool dump = batch.rfind(L"netsh", 0) == 0;
        const std::int32_t exit = !dump ? 0 : target.find(L"Roamwise-undo") != std::wstring::npos ? snapshotExit : dumpExit;
        try {
            Write(target, dump ? dumpText.substr(0, exit ? 4 : std::string::npos) : ipconfigText);
        } catch (const Failure&) {
            // cmd reports a failed redirection and still ends with 0
        }
        return exit;
    }
    std::wstring ActiveAddress() override { return address; }
    WindowsVersion Version() override { return version; }
    FolderClaim ClaimProgramFolder() override { return claimed = claim == FolderClaim::Claimed, claim; }
    HandOverAnswer HandOver(const HandedRequest& r) override {
        return handedOver = r.undo ? L"undo" : r.profile + (r.trySeconds ? L" /try " + std::to_wstring(r.trySeconds) : L""), answer;
    }
    std::uint64_t Milliseconds() override { return now; }
    std::wstring LocalTime() override { return L"2026-12-07 14:03:0" + std::to_wstring(now / 1000 % 10); }
    bool RemoteSession() override { return remote; }
    bool OpenTrial() override { return trialOpen = true; }
    void CloseTrial() override { trialOpen = false; }
    bool WaitForKeep(std::uint32_t ms) override {
        if (trialOpen && now + ms >= keepAt) return now = std::max(now, keepAt), true;
        return now += ms, false;
    }
    bool KeepTrial() override { return trialOpen && (keepAt = now, true); }
    bool SameFileName(const std::wstring& a, const std::wstring& b) override { return Lower(a) == Lower(b); }
    std::wstring ErrorText(long number) override { return L"error " + std::to_wstring(number); }
    bool ToAnsi(const std::wstring& text, std::string& bytes) override {
        bytes.assign(text.begin(), text.end());
        return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 256; });
    }
    bool ToOem(const std::wstring& text, std::string& bytes) override {
        bytes.clear();
        for (wchar_t c : text) bytes += c < 128 ? char(c) : kOemLetters.find(c) == std::wstring::npos ? '?' : kOemBytes[kOemLetters.find(c)];
        return FromOem(bytes) == text;
    }
    std::wstring FromOem(const std::string& bytes) override {
        std::wstring text;
        for (char b : bytes) text += b >= 0 ? wchar_t(b) : kOemBytes.find(b) < 4 ? kOemLetters[kOemBytes.find(b)] : L'?';
        return text;
    }
};

template <class View>
struct Placed : View {
    Rect rect;
    std::vector<Rect> work{{0, 0, 15360, 11520}};  // 1024 x 768 pixels
    explicit Placed(Rect r) : rect(r) {}
    Rect Placement() override { return rect; }
    void MoveTo(long l, long t) override { rect = {l, t, l + rect.Width(), t + rect.Height()}; }
    long TitleBarHeight() override { return 330; }
    std::vector<Rect> WorkAreas() override { return work; }
};

struct Viewer : Placed<ViewerView> {
    std::wstring text;
    bool exists = false, shown = false, allSelected = false, misused = false;  // misused: told something while it did not exist
    Size textSize;
    Viewer() : Placed({0, 0, 4500, 3300}) {}
    void Create() override { misused |= exists, exists = true; }
    void Destroy() override { misused |= !exists, exists = shown = false; }
    void Show() override { misused |= !exists, shown = true; }
    void SetText(const std::wstring& t) override { misused |= !exists, text = t; }
    void SelectAllText() override { misused |= !exists, allSelected = true; }
    Size ClientSize() override { return {rect.Width() - 285, rect.Height() - 540}; }
    void SizeText(Size s) override { misused |= !exists, textSize = s; }
};

struct Windows : Placed<MainView> {
    std::vector<std::wstring> boxes;  // "title: text"
    std::vector<Answer> answers;      // taken in order; Yes when none is left
    std::vector<std::function<void()>> duringBoxes, duringMenus;  // what happens while one is open, in order
    std::vector<int> menuChoices;     // the items chosen, in order; none when none is left
    std::vector<std::wstring> profiles;
    std::wstring selected, name, status, nameTip, listTip, statusAtBox;
    bool busy = false, inputTaken = true, exists = true;
    int beeps = 0, clears = 0, loops = 0;  // loops: boxes and menus open now
    Windows() : Placed({0, 0, 4200, 5000}) {}
    // What happens while a loop of the window's own is open.
    void Inside(std::vector<std::function<void()>>& during) { ++loops; if (const auto d = Take(during)) d(); --loops; }
    Answer ShowMessage(const std::wstring& text, const std::wstring& title, Buttons) override {
        boxes.push_back(title + L": " + text), statusAtBox = status;
        Inside(duringBoxes);
        return Take(answers, Answer::Yes);
    }
    void Beep() override { ++beeps; }
    bool AtRest() override { return loops == 0; }
    int ShowMenu(const std::vector<MenuItem>&) override { return Inside(duringMenus), Take(menuChoices, -1); }
    void TakeNoInput() override { inputTaken = false; }
    std::function<void()> secondPasses;          // the machine's clock goes on while a trial's question is open
    std::vector<TrialChoice> trialChoices;       // taken in order; none left: the countdown runs out
    std::vector<std::wstring> countdowns;
    TrialChoice AskToKeep(const std::wstring& text, const std::function<std::optional<std::wstring>()>& countdown) override {
        boxes.push_back(L"trial: " + text), Inside(duringBoxes);
        for (int second = 0; second < 4000; ++second, secondPasses ? secondPasses() : void()) {
            const std::optional<std::wstring> line = countdown();
            if (!line) return TrialChoice::Over;
            if (countdowns.empty() || countdowns.back() != *line) countdowns.push_back(*line);
            if (!trialChoices.empty() || !secondPasses) return Take(trialChoices, TrialChoice::Closed);
        }
        return TrialChoice::Closed;
    }
    void CloseWindow() override { exists = false; }
    void ClearProfiles() override { profiles.clear(), selected.clear(), ++clears; }
    void AddProfile(const std::wstring& n) override { profiles.push_back(n); }
    std::wstring SelectedProfile() override { return selected; }
    void SelectProfile(const std::wstring& n) override { for (auto& p : profiles) if (Lower(p) == Lower(n)) selected = p; }
    void SetProfileTooltip(const std::wstring& t) override { listTip = t; }
    std::vector<std::optional<std::wstring>> newNames;  // what the rename box gets, in order; cancelled when none is left
    std::optional<std::wstring> AskNewName(const std::wstring& p, const std::wstring& t) override {
        return boxes.push_back(L"rename " + p + (t == p ? L"" : L" as " + t)), Inside(duringBoxes), Take(newNames);
    }
    std::wstring TypedName() override { return name; }
    void SetNameTooltip(const std::wstring& t) override { nameTip = t; }
    void SetStatus(const std::wstring& t) override { status = t; }
    void SetBusyPointer(bool on) override { busy = on; }
};

}  // namespace fake
