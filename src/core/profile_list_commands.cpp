// The main window's profile list, its own ways: what its keys, clicks and
// menu do, reading the folder again, rename, and the desktop shortcut.
#include <algorithm>

#include "interface_dump.h"
#include "launch.h"
#include "main_controller.h"
#include "settings_comparison.h"

namespace roamwise {

// Fills the list from the Profiles folder (start-up, Save and Delete leave
// nothing selected). A re-read (F5, the window coming back, a profile found
// gone) changes nothing when the folder did not change, so the list neither
// flickers nor scrolls, and keeps the selection on its name; one on
// activation fails quietly, as its box would bring the activation back.
void MainController::ListProfiles(Reading reading) {
    std::vector<std::wstring> names;
    bool listed = true;
    try {
        names = store_.Names();
    } catch (...) {
        if (reading == Reading::QuietReread) return;
        listed = report_.Trap(L"FilesToArray", [] { throw; });  // reports the failure being handled
    }
    std::vector<std::wstring> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    const bool same = listed && sorted == shown_;
    listFresh_ = listed;
    if (same && reading != Reading::Fill) return;
    const std::wstring selected = reading == Reading::Fill ? L"" : view_.SelectedProfile();
    report_.Trap(L"File_List", [&] {
        view_.ClearProfiles();
        shown_.clear();
        for (const std::wstring& name : names) view_.AddProfile(name);
        shown_ = std::move(sorted);
    });
    if (reading == Reading::Fill) return;
    view_.SelectProfile(selected);
    ProfileSelected();
}

bool MainController::ListInput(Input input) {
    switch (input) {
    case Input::Enter:
    case Input::DoubleClick: Run(ListCommand::Load); return true;
    case Input::DeleteKey: Run(ListCommand::Delete); return true;
    case Input::F2: Run(ListCommand::Rename); return true;
    case Input::F5: Run(ListCommand::Refresh); return true;
    default: return false;
    }
}

std::vector<MenuItem> MainController::ProfileMenu(bool onProfile) {
    std::vector<MenuItem> items;
    if (onProfile)
        items = {{ListCommand::Load, L"&Load", true},
                 {ListCommand::Compare, L"&Compare with Current Settings", false},
                 {ListCommand::Rename, L"Re&name", false},
                 {ListCommand::Delete, L"&Delete", false},
                 {ListCommand::CreateShortcut, L"Create &Shortcut on Desktop", false}};
    // Undo is there on no profile too: it takes back whatever was loaded last.
    if (const std::optional<Snapshot> snapshot = undo_.Read()) {
        if (!items.empty()) items.push_back({ListCommand::Undo, L"", false});
        items.push_back({ListCommand::Undo, UndoMenuText(*snapshot), false});
    }
    return items;
}

void MainController::ContextMenu(bool onProfile) {
    const std::vector<MenuItem> items = ProfileMenu(onProfile);
    if (items.empty() || !Admit()) return;
    // The menu and the command chosen in it are one command.
    CommandScope command(*this);
    const int chosen = view_.ShowMenu(items);
    if (chosen >= 0 && chosen < static_cast<int>(items.size())) Do(items[chosen].command);
}

void MainController::Run(ListCommand command) {
    if (Admit()) Do(command);
}

void MainController::Do(ListCommand command) {
    CommandScope scope(*this);
    switch (command) {
    case ListCommand::Load: return LoadSelectedProfile();
    case ListCommand::Compare: return CompareSelected();
    case ListCommand::Rename: return Rename();
    case ListCommand::Delete: return Delete();
    case ListCommand::CreateShortcut: return CreateShortcutOfSelected();
    case ListCommand::Refresh: return ListProfiles(Reading::Reread);
    case ListCommand::Undo: Undo(true); return;
    }
}

void MainController::Activated(bool active) {
    if (!active) listFresh_ = false;
    else if (!listFresh_ && AtRest()) ListProfiles(Reading::QuietReread);
}

// A profile gone behind the program's back: says so, and the list shows it gone.
bool MainController::Vanished(const std::wstring& name) {
    if (store_.Exists(name)) return false;
    Conclude(kExitNoSuchProfile, L"There is no profile " + Quoted(name) + L" in the Profiles folder.");
    if (!windowless_) ListProfiles(Reading::Reread);
    return true;
}

void MainController::Rename() {
    const std::wstring old = view_.SelectedProfile();
    if (old.empty()) {
        Tell(L"Select a profile to rename");
        return;
    }
    // A refused name comes back to the box, to be corrected rather than typed again.
    std::wstring text = old;
    while (const std::optional<std::wstring> typed = view_.AskNewName(old, text)) {
        if (closed_ || RenameTo(old, *typed)) return;
        text = *typed;
    }
}

// Gives false when the name was refused.
bool MainController::RenameTo(const std::wstring& old, const std::wstring& typed) {
    const std::wstring name = ProfileFileName(typed);
    // OK on the name as it stands changes nothing, whatever Save would make of it.
    if (typed == old || name == old) return true;
    const std::wstring problem = typed.empty() ? L"Please enter a profile name" : RenameProblem(old, name);
    if (!problem.empty()) {
        Tell(problem);
        return false;
    }
    try {
        store_.Rename(old, name);
    } catch (const Failure& failure) {
        Tell(L"The profile " + Quoted(old) + L" could not be renamed: " + failure.description);
        ListProfiles(Reading::Reread);  // it may have gone
        return true;
    }
    ListProfiles(Reading::Reread);
    view_.SelectProfile(name);
    ProfileSelected();
    return true;
}

// Save's rules, and nothing is overwritten: not another profile, not a file
// that the new name reaches through its short (8.3) name.
std::wstring MainController::RenameProblem(const std::wstring& old, const std::wstring& name) {
    const std::wstring problem = store_.NameProblem(name);
    const std::optional<FileEntry> existing = store_.Find(store_.PathOf(name));
    if (!problem.empty() || !existing || platform_.SameFileName(name, old)) return problem;
    if (!platform_.SameFileName(existing->name, name + L".txt")) return AnotherNameText(name, existing->name);
    return L"There is already a file " + Quoted(existing->name) + L" in the Profiles folder. Please choose another name.";
}

// The selected profile, still there; empty after a box that says why not.
std::wstring MainController::SelectedOrSay(const wchar_t* noneSelected) {
    const std::wstring name = view_.SelectedProfile();
    if (name.empty()) Tell(noneSelected);
    return name.empty() || Vanished(name) ? L"" : name;
}

void MainController::CreateShortcutOfSelected() {
    const std::wstring name = SelectedOrSay(L"Select a profile to make a shortcut for");
    if (name.empty()) return;
    std::wstring desktop;
    try {
        desktop = platform_.DesktopFolder();
        MakeShortcutOf(name, desktop);
    } catch (const Failure& failure) {
        Tell(L"The shortcut could not be made" + (desktop.empty() ? L"" : L" in the folder " + Quoted(desktop)) + L": " +
             failure.description);
    }
}

// "<profile> - Roamwise" on the desktop: Roamwise.exe /load "<profile>",
// started in its own folder, with its icon.
void MainController::MakeShortcutOf(const std::wstring& name, const std::wstring& desktop) {
    const std::wstring program = platform_.ProgramFile();
    const std::wstring title = Quoted(name + L" - Roamwise");
    const std::wstring path = desktop + L"\\" + name + L" - Roamwise.lnk";
    if (store_.Find(path) && Tell(L"There is already a shortcut " + title + L" on the desktop. Do you want to replace it?",
                                  kAppTitle, Buttons::YesNo) != Answer::Yes)
        return;
    platform_.MakeShortcut({path, program, L"/load " + Quoted(name), program.substr(0, program.rfind(L'\\')), program});
    Tell(L"The shortcut " + title + L" is on the desktop:\r" + path);
}

namespace {

// The lines a tooltip shows under the profile's name.
constexpr std::size_t kTooltipLines = 8;
// Where the settings in force are dumped for a comparison, beside the program.
const wchar_t kComparedFile[] = L"Roamwise-now.tmp";

}  // namespace

// The tooltip names the profile and what it sets, read when it is selected
// rather than when the list fills: 20 000 profiles list as fast as ever.
void MainController::ProfileSelected() {
    const std::wstring name = view_.SelectedProfile();
    std::wstring tip = name;
    try {
        const std::vector<std::wstring> lines =
            name.empty() ? std::vector<std::wstring>() : SummaryLines(ReadInterfaceDump(platform_.FromOem(platform_.Read(store_.PathOf(name)))));
        for (std::size_t i = 0; i < lines.size() && i < kTooltipLines; ++i) tip += L"\r\n" + lines[i];
        if (lines.size() > kTooltipLines) tip += L"\r\n\u2026";
    } catch (...) {
        // a profile that cannot be read shows its name alone
    }
    view_.SetProfileTooltip(tip);
}

void MainController::CompareSelected() {
    const std::wstring name = SelectedOrSay(L"Select a profile to compare");
    if (name.empty()) return;
    std::wstring text;
    const bool read = report_.Trap(L"cmdCompare", [&] {
        const std::vector<AdapterSettings> profile = ReadInterfaceDump(platform_.FromOem(platform_.Read(store_.PathOf(name))));
        const std::wstring failure = DumpSettingsInForce();
        if (!failure.empty()) return ReportToolFailure(L"The settings in force could not be read: " + failure);
        const std::string now = platform_.Read(programFolder_ + L"\\" + kComparedFile);
        platform_.Delete(programFolder_ + L"\\" + kComparedFile);
        text = CompareSettings(name, profile, ReadInterfaceDump(platform_.FromOem(now)));
    });
    if (!read) EndTool();
    if (text.empty() || closed_ || closing_) return;
    EndTool();  // the tool is done: the pointer and the status come back
    comparison_.SetText(text);
    comparison_.Show();
}

// As Save dumps them, into a work file of its own; gives why it failed, or the empty text.
std::wstring MainController::DumpSettingsInForce() {
    view_.SetBusyPointer(true);
    Status(L"   Reading Settings");
    const std::int32_t exitCode = runner_.DumpSettings(programFolder_, kComparedFile);
    if (exitCode == 0 && !store_.Find(programFolder_ + L"\\" + kComparedFile)) return L"no dump was written.";
    return exitCode == 0 ? L"" : ExitCodeText(exitCode);
}

}  // namespace roamwise
