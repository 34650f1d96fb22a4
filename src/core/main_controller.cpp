#include "main_controller.h"

#include "launch.h"

namespace roamwise {

const wchar_t kAppTitle[] = L"Roamwise";

namespace {

const wchar_t kNoAddress[] = L"127.0.0.1";
const wchar_t kActiveIp[] = L" Active IP: ";
const wchar_t kAboutText[] =
    L"Roamwise ver.1.0\r"
    L"Saves and restores the network settings of this computer.\r"
    L"\r"
    L"Comments, Questions:\r"
    L"     E-Mail: roamwise@example.com";

const wchar_t kAlreadyRunning[] =
    L"Roamwise is already running from this folder: in another session, with other rights, or loading a "
    L"profile from the command line. Only one copy can run from a folder at a time.";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring ExitCodeText(std::int32_t exitCode) {
    return L"netsh ended with exit code " + std::to_wstring(exitCode) + L".";
}

}  // namespace

// Marks the time a tool runs: no second one may start then, because both
// would share Settings.bat.
class MainController::ToolScope {
public:
    explicit ToolScope(MainController& owner) : owner_(owner), outer_(owner.toolRunning_) {
        owner_.toolRunning_ = true;
    }
    ~ToolScope() { owner_.toolRunning_ = outer_; }
    ToolScope(const ToolScope&) = delete;
    ToolScope& operator=(const ToolScope&) = delete;

private:
    MainController& owner_;
    bool outer_;
};

MainController::MainController(Platform& platform, MainView& view, ViewerView& viewerView)
    : platform_(platform),
      view_(view),
      report_(view),
      programFolder_(platform.ProgramFolder()),
      runner_(platform, report_, programFolder_),
      store_(platform, programFolder_),
      position_(platform, report_, view, L"Form"),
      viewer_(platform, report_, viewerView) {}

// --- start-up and closing ----------------------------------------------------

// A second copy would share Settings.bat and the profiles' work files.
FolderClaim MainController::ClaimFolder(const std::wstring& profileToLoad) {
    const FolderClaim claim = platform_.ClaimProgramFolder(profileToLoad);
    if (claim == FolderClaim::HeldElsewhere) Tell(kAlreadyRunning);
    return claim;
}

Answer MainController::Tell(const std::wstring& text, const std::wstring& title, Buttons buttons) {
    return quiet_ ? Answer::No : view_.ShowMessage(text, title, buttons);
}

void MainController::StartUp() {
    report_.Trap(L"Form_Load", [&] {
        if (ClaimFolder(L"") != FolderClaim::Claimed) {
            refused_ = true;
            return;
        }
        store_.RecoverInterruptedSaves();
        // From here on closing stores the real position, even if the stored
        // one turns out not to be a number.
        positionRestored_ = true;
        position_.Restore(true);
        RefillProfileList();
        ShowActiveAddress();
        Capture();
    });
}

void MainController::Close() {
    if (closed_) return;
    if (positionRestored_) position_.Store();
    viewer_.Close();
    closed_ = true;
    // An operation still waiting for its tool finishes its file work
    // without touching the closed windows.
    report_.Silence();
}

void MainController::EndSession() {
    if (closed_) return;
    report_.Silence();
    if (positionRestored_) position_.Store();
    viewer_.StorePosition();
}

void MainController::ShowActiveAddress() {
    const std::wstring ip = platform_.ActiveAddress();
    view_.SetStatus(ip == kNoAddress ? std::wstring(kActiveIp) + L"Not Connected" : kActiveIp + ip);
}

void MainController::RefillProfileList() {
    report_.Trap(L"File_List", [&] {
        view_.ClearProfiles();
        std::vector<std::wstring> names;
        report_.Trap(L"FilesToArray", [&] { names = store_.Names(); });
        for (const std::wstring& name : names) view_.AddProfile(name);
    });
}

bool MainController::BeepIfBusy() {
    if (toolRunning_) view_.Beep();
    return toolRunning_;
}

// --- save ----------------------------------------------------------------------

void MainController::SaveProfile() {
    if (BeepIfBusy()) return;
    if (!report_.Trap(L"cmdSave", [&] { SaveTyped(view_.TypedName()); })) EndFailedTool();
}

void MainController::SaveTyped(const std::wstring& typed) {
    if (typed.empty()) {
        Tell(L"Please enter a profile name");
        return;
    }
    const std::wstring fileName = ProfileFileName(typed);
    const std::wstring problem = store_.NameProblem(fileName);
    if (!problem.empty()) {
        Tell(problem);
        return;
    }
    std::wstring profile = store_.PathOf(fileName);
    if (const auto existing = store_.Find(profile)) {
        // The system also finds a file through its short (8.3) name.
        if (!platform_.SameFileName(existing->name, fileName + L".txt")) {
            Tell(Quoted(fileName) + L" is another name of the file " + Quoted(existing->name) +
                 L" in the Profiles folder. Please choose another name.");
            return;
        }
        if (Tell(L"This profile already exist do you want to overite it?", L"Profile Exist", Buttons::YesNo) !=
            Answer::Yes)
            return;
        // The name keeps its letter case; ".txt" is made lower case so that the list shows it.
        profile = store_.Folder() + L"\\" + existing->name.substr(0, existing->name.size() - 4) + L".txt";
    }
    ToolScope tool(*this);
    const std::wstring failure = ReplaceWithDump(profile);
    if (!failure.empty()) return ReportToolFailure(L"The settings could not be saved: " + failure);
    if (closed_) return;
    view_.SetBusyPointer(false);
    RefillProfileList();
    ShowActiveAddress();
    Tell(L"Settings Saved");
}

// Dumps the configuration into profile; an old profile stays aside until
// the new one is on disk. Gives why it failed, or the empty text.
std::wstring MainController::ReplaceWithDump(const std::wstring& profile) {
    const std::wstring fileName = profile.substr(store_.Folder().size() + 1);
    // A name cmd cannot spell goes through a plain work file, renamed after.
    std::string oem;
    const bool spelled = platform_.ToOem(fileName, oem);
    const std::wstring dumpFile = spelled ? profile : store_.Folder() + L"\\" + kDumpWorkFile;
    platform_.CreateFolder(store_.Folder());
    runner_.WriteRedirection(L"netsh -c interface dump", store_.Folder(), spelled ? fileName : kDumpWorkFile);
    view_.SetBusyPointer(true);
    view_.SetStatus(L"   Saving Settings");
    const bool keptAside = store_.KeepAside(profile);
    std::wstring failure;
    try {
        const std::int32_t exitCode = runner_.RunBatch();
        if (exitCode != 0) failure = ExitCodeText(exitCode);
        if (failure.empty() && !spelled) platform_.Move(dumpFile, profile);
        if (failure.empty() && !store_.Find(profile)) failure = L"no profile file was written.";
    } catch (...) {
        store_.PutBack(profile, keptAside, dumpFile);
        throw;
    }
    if (!failure.empty()) store_.PutBack(profile, keptAside, dumpFile);
    else if (keptAside) store_.DropKeptAside(profile);
    return failure;
}

// A tool failed: the window leaves its busy state and says so.
void MainController::ReportToolFailure(const std::wstring& message) {
    if (closed_) return;
    EndFailedTool();
    Tell(message);
}

void MainController::EndFailedTool() {
    if (closed_) return;
    view_.SetBusyPointer(false);
    ShowActiveAddress();
}

// --- load ----------------------------------------------------------------------

void MainController::LoadProfile() {
    if (!BeepIfBusy()) LoadNamed(view_.SelectedProfile());
}

void MainController::LoadHandedOver(const std::wstring& name) {
    if (BeepIfBusy() || RefusesName(name)) return;
    view_.SelectProfile(name);
    LoadNamed(name);
}

int MainController::LoadFromCommandLine(const std::wstring& name, bool quiet) {
    windowless_ = true;
    quiet_ = quiet;
    if (quiet) report_.Silence();
    const FolderClaim claim = ClaimFolder(name);
    if (claim != FolderClaim::Claimed) return claim == FolderClaim::HandedOver ? kExitHandedOver : kExitFailed;
    store_.RecoverInterruptedSaves();
    if (RefusesName(name)) return kExitNoSuchProfile;
    switch (LoadNamed(name)) {
    case LoadOutcome::Loaded: return kExitLoaded;
    case LoadOutcome::NotConnected: return kExitNotConnected;
    case LoadOutcome::NoSuchProfile: return kExitNoSuchProfile;
    case LoadOutcome::NetshFailed: return kExitNetshFailed;
    default: return kExitFailed;
    }
}

// A name that did not come from the list must pass the rules a saved name passes.
bool MainController::RefusesName(const std::wstring& name) {
    const std::wstring problem = store_.NameProblem(name);
    if (!problem.empty()) Tell(L"Roamwise cannot load " + Quoted(name) + L". " + problem);
    return !problem.empty();
}

MainController::LoadOutcome MainController::LoadNamed(const std::wstring& name) {
    LoadOutcome outcome = LoadOutcome::Failed;
    if (!report_.Trap(L"cmdLoad", [&] { outcome = LoadSelected(name); })) EndFailedTool();
    return outcome;
}

MainController::LoadOutcome MainController::LoadSelected(const std::wstring& entry) {
    if (entry.empty()) {
        Tell(L"Select a profile to load");
        return LoadOutcome::NoSuchProfile;
    }
    // Deleted, or never there: netsh would only fail on a missing script.
    if (!store_.Exists(entry)) {
        Tell(L"There is no profile " + Quoted(entry) + L" in the Profiles folder.");
        return LoadOutcome::NoSuchProfile;
    }
    ToolScope tool(*this);
    view_.SetStatus(L"   Loading Settings");
    view_.SetBusyPointer(true);
    const std::int32_t exitCode = runner_.RunNetshScript(store_.Folder(), entry + L".txt");
    if (exitCode != 0) {
        // netsh goes on after a failing line: most of the profile may be in place.
        ReportToolFailure(L"The profile may not have been applied in full: " + ExitCodeText(exitCode));
        return LoadOutcome::NetshFailed;
    }
    if (closed_) return LoadOutcome::Failed;
    Capture();
    if (closed_) return LoadOutcome::Failed;
    view_.SetBusyPointer(false);
    const std::wstring ip = platform_.ActiveAddress();
    if (ip != kNoAddress) {
        view_.SetStatus(kActiveIp + ip);
        Tell(L"Network Settings Loaded");
        return LoadOutcome::Loaded;
    }
    Tell(L"There is no active connection to change.\r"
         L"Please connect to a network before loading a Profile.",
         L"Network Error");
    ShowActiveAddress();  // the profile has been applied all the same
    return LoadOutcome::NotConnected;
}

// --- delete --------------------------------------------------------------------

void MainController::DeleteProfile() {
    if (BeepIfBusy()) return;
    const std::wstring name = view_.SelectedProfile();
    if (name.empty()) {
        Tell(L"Please select a profile to delete");
        return;
    }
    if (report_.Trap(L"cmdDelete", [&] { DeleteSelected(name); })) return;
    // The profile may have vanished behind the program's back.
    RefillProfileList();
    view_.SetStatus(kActiveIp + platform_.ActiveAddress());
}

void MainController::DeleteSelected(const std::wstring& name) {
    view_.SetStatus(L"   Deleting profile: " + name);
    if (Tell(L"Are you sure you want to delete " + name, kAppTitle, Buttons::YesNo) == Answer::Yes) {
        store_.Delete(programFolder_ + L"\\profiles\\" + name + L".txt");
        RefillProfileList();
    }
    view_.SetStatus(kActiveIp + platform_.ActiveAddress());
}

// --- the viewer and the small commands -------------------------------------------

void MainController::Capture() {
    report_.Trap(L"Run_Ipconfig", [&] {
        ToolScope tool(*this);
        runner_.WriteRedirection(L"ipconfig /all", programFolder_, L"ipinfo.txt");
        runner_.RunBatch();  // a failed capture still shows whatever the file holds
        if (closed_ || windowless_) return;
        // A redirected console tool writes the OEM code page.
        viewer_.SetText(platform_.FromOem(platform_.Read(programFolder_ + L"\\ipinfo.txt")));
    });
}

void MainController::ShowCurrentSettings() {
    // While a tool runs the viewer shows what it has: a capture now would
    // rewrite Settings.bat under the running one.
    if (!toolRunning_) Capture();
    // The main window may have been closed during the capture.
    if (closed_) return;
    viewer_.Show();
}

void MainController::ShowAbout() { Tell(kAboutText, L"About"); }

void MainController::ProfileSelected() { view_.SetProfileTooltip(view_.SelectedProfile()); }

void MainController::NameKeyPressed(int character) {
    if (character == 13) SaveProfile();
}

void MainController::NameKeyReleased() { view_.SetNameTooltip(view_.TypedName()); }

}  // namespace roamwise
