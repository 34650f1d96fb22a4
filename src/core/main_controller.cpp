#include "main_controller.h"

#include <algorithm>
#include <utility>

#include "launch.h"

namespace roamwise {

const wchar_t kAppTitle[] = L"Roamwise";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

namespace {

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
const wchar_t kNoAddress[] = L"127.0.0.1";

std::wstring BusyText(const HandedRequest& request) {
    return (request.undo ? std::wstring(L"Roamwise did not undo the last load") : L"Roamwise did not load " + Quoted(request.profile)) +
           L": the Roamwise already running from this folder is busy with another command. Nothing was loaded.";
}

}  // namespace



// The system also finds a file through its short (8.3) name.
std::wstring MainController::AnotherNameText(const std::wstring& name, const std::wstring& file) {
    return Quoted(name) + L" is another name of the file " + Quoted(file) +
           L" in the Profiles folder. Please choose another name.";
}

MainController::MainController(Platform& platform, MainView& view, ViewerView& viewerView, ViewerView& comparisonView)
    : platform_(platform),
      view_(view),
      report_(view),
      programFolder_(platform.ProgramFolder()),
      runner_(platform, programFolder_),
      undo_(platform, runner_, programFolder_),
      store_(platform, programFolder_),
      position_(platform, report_, view, L"Form"),
      viewer_(platform, report_, viewerView, L"Form2"),
      comparison_(platform, report_, comparisonView, L"Form3") {}

// --- start-up and closing ----------------------------------------------------

Answer MainController::Tell(const std::wstring& text, const std::wstring& title, Buttons buttons) {
    return quiet_ || closing_ ? Answer::No : view_.ShowMessage(text, title, buttons);
}

// Once closing waits for a command, the window says only that.
void MainController::Status(const std::wstring& text) {
    if (!closing_) view_.SetStatus(text);
}

void MainController::StartUp() {
    CommandScope command(*this);
    report_.Trap(L"Form_Load", [&] {
        // A second copy would share Settings.bat and the profiles' work files.
        const FolderClaim claim = platform_.ClaimProgramFolder();
        if (claim != FolderClaim::Claimed) {
            if (claim != FolderClaim::RunningHere) Tell(kAlreadyRunning);
            refused_ = true;
            return;
        }
        store_.RecoverInterruptedSaves();
        undo_.DropCopy();
        // From here on closing stores the real position, even if the stored
        // one turns out not to be a number.
        positionRestored_ = true;
        position_.Restore(true);
        RefillProfileList();
        ShowActiveAddress();
        Capture();
    });
    if (!refused_) OfferGoingBack();
}

void MainController::Close() {
    if (closed_ || closing_) return;
    if (runner_.Running().empty() && !inTrial_) return FinishClose();
    // Gone now, the window would leave a tool changing the settings, or a
    // trial, with nobody to see how it went, and a second start would find
    // no window to come to. A trial goes back first.
    view_.SetStatus(inTrial_ ? std::wstring(L"   Closing once the settings are back")
                             : L"   Closing when " + runner_.Running() + L" is done");
    closing_ = true;
    view_.TakeNoInput();
    report_.Silence();
}

void MainController::FinishClose() {
    if (positionRestored_) position_.Store();
    viewer_.Close();
    comparison_.Close();
    closed_ = true;
    // An operation still under way finishes its file work without
    // touching the closed windows.
    report_.Silence();
    view_.CloseWindow();
}

void MainController::CommandEnded() {
    if (closing_ && !closed_) FinishClose();
}

void MainController::EndSession() {
    if (closed_) return;
    report_.Silence();
    if (positionRestored_) position_.Store();
    viewer_.StorePosition();
    comparison_.StorePosition();
}

void MainController::ShowActiveAddress() {
    const std::wstring ip = platform_.ActiveAddress();
    Status(ip == kNoAddress ? std::wstring(kActiveIp) + L"Not Connected" : kActiveIp + ip);
}

bool MainController::AtRest() { return !busy_ && !closing_ && !closed_ && view_.AtRest(); }

bool MainController::Admit() {
    if (AtRest()) return true;
    view_.Beep();
    return false;
}

// --- save ----------------------------------------------------------------------

void MainController::SaveProfile() {
    if (!Admit()) return;
    CommandScope command(*this);
    if (!report_.Trap(L"cmdSave", [&] { SaveTyped(view_.TypedName()); })) EndTool();
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
            Tell(AnotherNameText(fileName, existing->name));
            return;
        }
        if (Tell(L"This profile already exist do you want to overite it?", L"Profile Exist", Buttons::YesNo) !=
            Answer::Yes)
            return;
        // The name keeps its letter case; ".txt" is made lower case so that the list shows it.
        profile = store_.Folder() + L"\\" + existing->name.substr(0, existing->name.size() - 4) + L".txt";
    }
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
    runner_.WriteRedirection(kDumpCommand, store_.Folder(), spelled ? fileName : kDumpWorkFile);
    view_.SetBusyPointer(true);
    Status(L"   Saving Settings");
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
    EndTool();
    Tell(message);
}

// The window leaves its busy state.
void MainController::EndTool() {
    if (closed_) return;
    view_.SetBusyPointer(false);
    ShowActiveAddress();
}

// --- load ----------------------------------------------------------------------

void MainController::LoadSelectedProfile() { LoadNamed(view_.SelectedProfile(), 0); }

void MainController::LoadHandedOver(const HandedRequest& request, const std::function<void(int)>& answer) {
    if (!AtRest()) return answer(kExitBusy);
    CommandScope command(*this);
    pendingAnswer_ = answer;
    std::wstring name;
    int code = request.undo ? Undo(false) : Resolve(request.profile, name);
    if (!request.undo && code == kExitLoaded) {
        // As if the user had picked it and pressed Load: a profile copied in
        // since the list was read shows first.
        if (std::find(shown_.begin(), shown_.end(), name) == shown_.end()) ListProfiles(Reading::Reread);
        view_.SelectProfile(name);
        ProfileSelected();
        code = LoadNamed(name, request.trySeconds);
    }
    SettleHandOver(code);
}

int MainController::FromCommandLine(const HandedRequest& request, bool quiet) {
    windowless_ = true;
    quiet_ = quiet;
    if (quiet) report_.Silence();
    const FolderClaim claim = platform_.ClaimProgramFolder();
    if (claim == FolderClaim::HeldElsewhere) {
        Tell(kAlreadyRunning);
        return kExitFailed;
    }
    if (claim == FolderClaim::LoadingHere) return Conclude(kExitBusy, BusyText(request));
    if (claim == FolderClaim::Claimed) {
        store_.RecoverInterruptedSaves();
        undo_.DropCopy();
        if (!request.undo) OfferGoingBack();
    }
    // A name the running copy would refuse is refused here, in the start.
    HandedRequest resolved = request;
    if (!request.undo)
        if (const int refused = Resolve(request.profile, resolved.profile)) return refused;
    if (claim != FolderClaim::Claimed) return HandOver(resolved);
    return request.undo ? Undo(false) : LoadNamed(resolved.profile, request.trySeconds);
}

// The listed profile a given name means: kExitLoaded and the name, or the
// exit code after a box that says why not.
int MainController::Resolve(const std::wstring& given, std::wstring& name) {
    std::wstring problem;
    if (!report_.Trap(L"cmdLoad", [&] { name = store_.ListedProfile(given, problem); },
                      [this] { SettleHandOver(kExitFailed); }))
        return kExitFailed;
    return name.empty() ? Conclude(kExitNoSuchProfile, problem) : kExitLoaded;
}

int MainController::HandOver(const HandedRequest& request) {
    const HandOverAnswer answer = platform_.HandOver(request);
    switch (answer.kind) {
    case HandOverAnswer::Kind::Answered:
        if (answer.code == kExitBusy) return Conclude(kExitBusy, BusyText(request));
        return answer.code >= kExitLoaded && (answer.code <= kExitFailed || answer.code == kExitWentBack) ? answer.code
                                                                                                           : kExitFailed;
    case HandOverAnswer::Kind::NotDelivered: return Conclude(kExitBusy, BusyText(request));
    case HandOverAnswer::Kind::NoAnswer: return kExitHandedOver;
    case HandOverAnswer::Kind::Ended:
        Tell(L"The Roamwise running from this folder ended before it had " +
             (request.undo ? std::wstring(L"undone the last load") : L"loaded " + Quoted(request.profile)) +
             L". The network settings may have been changed in part.");
        return kExitFailed;
    default: Tell(kAlreadyRunning); return kExitFailed;
    }
}

void MainController::SettleHandOver(int code) {
    if (const auto answer = std::exchange(pendingAnswer_, nullptr)) answer(code);
}

// The load's result is known: a start waiting for it hears it before the box.
int MainController::Conclude(int code, const std::wstring& text) {
    SettleHandOver(code);
    Tell(text);
    return code;
}

// A load as one command: a failure of it tells a start waiting for it,
// before the box; a failure another handler reports meanwhile does not.
int MainController::RunLoad(const std::function<int()>& load) {
    CommandScope command(*this);
    int code = kExitFailed;
    if (!report_.Trap(L"cmdLoad", [&] { code = load(); }, [this] { SettleHandOver(kExitFailed); })) {
        platform_.CloseTrial();  // a trial that failed half-way has nothing to keep
        EndTool();
    }
    return code;
}

int MainController::LoadNamed(const std::wstring& name, unsigned trySeconds) {
    return RunLoad([&] { return LoadSelected(name, trySeconds); });
}

int MainController::LoadSelected(const std::wstring& entry, unsigned trySeconds) {
    if (entry.empty()) return Conclude(kExitNoSuchProfile, L"Select a profile to load");
    // Deleted, or never there: netsh would only fail on a missing script.
    if (Vanished(entry)) return kExitNoSuchProfile;
    return Apply({entry, false, false, TrialSeconds(trySeconds), trySeconds != 0, true});
}

// A script's trial, or in a remote session every load the window runs: cut
// off, nobody could set the old settings back by hand.
unsigned MainController::TrialSeconds(unsigned asked) {
    if (asked) return asked;
    return !windowless_ && platform_.RemoteSession() ? Trial::kWindowSeconds : 0;
}

int MainController::Apply(const LoadPlan& plan) {
    Status(L"   Loading Settings");
    view_.SetBusyPointer(true);
    const std::string previous = plan.undo ? undo_.Contents() : std::string();
    // The settings in force first, to go back to; without them a plain load
    // still runs, as it always did, but a trial does not.
    const std::wstring noUndo = undo_.Take(plan.profile, plan.goingBack);
    // Nor without "/keep" reaching it, when a script's trial has no box to keep it with.
    const bool keepable = !plan.trialSeconds || platform_.OpenTrial() || !quiet_;
    if (plan.trialSeconds && (!noUndo.empty() || !keepable)) {
        EndTool();
        return Conclude(kExitFailed, L"Roamwise did not load " + Quoted(plan.Label()) + L": " +
                                         (noUndo.empty() ? L"\"/keep\" could not be given a way to reach it."
                                                         : L"a trial load needs the settings in force to go back to, and "
                                                           L"they could not be kept: " + noUndo));
    }
    PrintedLines said;
    const std::int32_t exitCode = plan.undo ? runner_.RunNetshScript(programFolder_, undo_.Stage(previous), said)
                                            : runner_.RunNetshScript(store_.Folder(), plan.profile + L".txt", said);
    undo_.DropCopy();
    const std::wstring cannotUndo =
        noUndo.empty() ? L"" : L"\rUndo is not possible: the settings in force before could not be kept: " + noUndo;
    std::wstring failed;
    int code = platform_.ActiveAddress() != kNoAddress ? kExitLoaded : kExitNotConnected;
    if (exitCode != 0) {
        // netsh goes on after a failing line: most of the profile may be in
        // place, and what it printed tells which lines failed.
        const std::wstring words = said.Text(platform_);
        failed = L"The profile may not have been applied in full: " + ExitCodeText(exitCode) +
                 (words.empty() ? L"" : L"\r\r" + words.substr(0, words.size() - 1));
        code = kExitNetshFailed;
    }
    if (plan.trialSeconds) return RunTrial(plan, code, failed);
    if (plan.told) SettleHandOver(code);
    if (!failed.empty()) ReportToolFailure(failed + cannotUndo);
    else Loaded(plan.told ? code : -1, cannotUndo);
    return code;
}

// After netsh: the viewer shows the configuration just set, and a box says
// how it went (none for code -1).
int MainController::Loaded(int code, const std::wstring& addition) {
    if (closed_ || closing_) return code;
    Capture();
    if (closed_ || closing_) return code;
    view_.SetBusyPointer(false);
    ShowActiveAddress();
    if (code == kExitLoaded) Tell(L"Network Settings Loaded" + addition);
    if (code == kExitNotConnected)
        Tell(L"There is no active connection to change.\r"
             L"Please connect to a network before loading a Profile." + addition,
             L"Network Error");  // the profile has been applied all the same
    return code;
}

// --- delete --------------------------------------------------------------------

void MainController::Delete() {
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
        runner_.WriteRedirection(L"ipconfig /all", programFolder_, L"ipinfo.txt");
        runner_.RunBatch();  // a failed capture still shows whatever the file holds
        if (closed_ || windowless_) return;
        // A redirected console tool writes the OEM code page.
        viewer_.SetText(platform_.FromOem(platform_.Read(programFolder_ + L"\\ipinfo.txt")));
    });
}

void MainController::ShowCurrentSettings() {
    // While another command runs the viewer shows what it has: a capture now
    // would rewrite Settings.bat under the running one.
    if (AtRest()) {
        CommandScope command(*this);
        Capture();
    }
    // The main window may have been closed during the capture.
    if (closed_) return;
    viewer_.Show();
}

void MainController::ShowAbout() { Tell(kAboutText, L"About"); }


void MainController::NameKeyPressed(int character) {
    if (character == 13) SaveProfile();
}

void MainController::NameKeyReleased() { view_.SetNameTooltip(view_.TypedName()); }

}  // namespace roamwise
