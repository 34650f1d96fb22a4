// The main window's ways to take a load back: Undo, a trial load's question
// and countdown, "/keep", and a trial found open at start-up. What the work
// file holds and how it reads is the undo room's (undo.h).
#include "launch.h"
#include "main_controller.h"

namespace roamwise {

std::wstring MainController::Today() { return platform_.LocalTime().substr(0, 10); }

int MainController::Undo(bool ask) {
    const std::optional<Snapshot> snapshot = undo_.Read();
    if (!snapshot) return Conclude(kExitNoSuchProfile, L"There is no load to undo.");
    if (ask && Tell(UndoQuestion(*snapshot, Today()), kAppTitle, Buttons::YesNo) != Answer::Yes) return kExitLoaded;
    // Undo is a load of the snapshot; its own snapshot first, so that a second Undo goes forward again.
    return RunLoad([&] { return Apply({snapshot->loaded, true, !snapshot->goingBack, TrialSeconds(0), false, true}); });
}

int MainController::KeepFromCommandLine(bool quiet) {
    windowless_ = true;
    quiet_ = quiet;
    if (platform_.KeepTrial()) return kExitLoaded;
    Tell(L"There is no trial load open to keep.");
    return kExitNoSuchProfile;
}

// Roamwise ended (killed, power lost) while a trial waited for its answer.
void MainController::OfferGoingBack() {
    const std::optional<Snapshot> snapshot = undo_.Read();
    if (!snapshot || !snapshot->onTrial) return;
    const std::wstring question = L"Roamwise ended while the trial load of " + Quoted(snapshot->Label()) +
                                  L" was waiting to be kept.\r" + UndoQuestion(*snapshot, Today());
    if (Tell(question, kAppTitle, Buttons::YesNo) != Answer::Yes) return undo_.MarkTrial(false);
    RunLoad([&] { return Apply({snapshot->loaded, true, !snapshot->goingBack, 0, false, true}); });
}

// netsh has run: the settings stay only if someone keeps them in time.
int MainController::RunTrial(const LoadPlan& plan, int code, const std::wstring& failed) {
    undo_.MarkTrial(true);
    // A start that handed over a plain load hears netsh's result now; one that asked for the trial, its end.
    if (!plan.answerAfterTrial) SettleHandOver(code);
    const Trial trial(platform_.Milliseconds(), plan.trialSeconds);
    view_.SetBusyPointer(false);
    ShowActiveAddress();
    const std::wstring address = platform_.ActiveAddress();
    const TrialEnd end = WaitForTrial(trial, (failed.empty() ? L"" : failed + L"\r\r") + L"Keep these network settings?\r\r" +
                                                 (address == L"127.0.0.1" ? L"Not connected" : L"Active IP: " + address));
    platform_.CloseTrial();
    undo_.MarkTrial(false);
    if (end == TrialEnd::Kept) {
        SettleHandOver(code);
        Loaded(-1, L"");
        return code;
    }
    // Going back answers nobody itself: the trial's result is that it went back, or how that failed.
    const int back = Apply({plan.profile, true, !plan.goingBack, 0, false, false});
    const int result = back == kExitLoaded || back == kExitNotConnected ? kExitWentBack : back;
    SettleHandOver(result);
    const std::wstring why = end == TrialEnd::TimeUp ? L"nobody kept the new ones within " + std::to_wstring(plan.trialSeconds) + L" seconds"
                             : end == TrialEnd::GoBack ? L"Go Back was chosen"
                                                       : L"the question was closed without an answer";
    if (result == kExitWentBack)
        Tell(L"Roamwise went back to the network settings from before " + Quoted(plan.Label()) + L" was loaded: " + why + L".");
    return result;
}

MainController::TrialEnd MainController::WaitForTrial(const Trial& trial, const std::wstring& text) {
    if (quiet_) {  // no box: only "/keep" keeps it
        while (trial.SecondsLeft(platform_.Milliseconds()) > 0)
            if (platform_.WaitForKeep(1000)) return TrialEnd::Kept;
        return TrialEnd::TimeUp;
    }
    std::optional<TrialEnd> end;
    inTrial_ = true;
    const TrialChoice choice = view_.AskToKeep(text, [&]() -> std::optional<std::wstring> {
        const std::uint64_t now = platform_.Milliseconds();
        if (platform_.WaitForKeep(0)) end = TrialEnd::Kept;
        else if (closing_ || closed_) end = TrialEnd::WindowClosed;
        else if (trial.SecondsLeft(now) == 0) end = TrialEnd::TimeUp;
        return end ? std::nullopt : std::optional<std::wstring>(trial.Countdown(now));
    });
    inTrial_ = false;
    if (end) return *end;
    return choice == TrialChoice::Keep ? TrialEnd::Kept : choice == TrialChoice::GoBack ? TrialEnd::GoBack : TrialEnd::BoxClosed;
}

}  // namespace roamwise
