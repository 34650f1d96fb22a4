// The main window's behaviour: start-up and closing, the profile list, and
// every command the window takes. The Win32 main window calls it for its
// events; it speaks to the machine and the windows only through Platform,
// MainView and ViewerView.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "error_report.h"
#include "platform.h"
#include "profile_store.h"
#include "tool_runner.h"
#include "undo.h"
#include "view.h"
#include "viewer_controller.h"
#include "window_position.h"

namespace roamwise {

// The title of the boxes the program shows under its own name.
extern const wchar_t kAppTitle[];
// A name as the boxes show it: in double quotes.
std::wstring Quoted(const std::wstring& text);

class MainController {
public:
    // viewerView: the current settings; comparisonView: a profile beside them.
    MainController(Platform& platform, MainView& view, ViewerView& viewerView, ViewerView& comparisonView);

    // Start-up, before the window is shown (the version gate has passed).
    // Afterwards Refused() tells whether the program must end at once
    // instead: another copy already runs from this folder.
    void StartUp();
    // "/load NAME [/try SECONDS]" or "/undo" without the window: runs as the
    // window would, or hands the request to the copy running here, and
    // gives the exit code (launch.h). quiet: no box at all.
    int FromCommandLine(const HandedRequest& request, bool quiet);
    // "/keep": the trial load open in any copy run from this folder is kept.
    int KeepFromCommandLine(bool quiet);
    bool Refused() const { return refused_; }
    // The user closed the main window: positions are stored, the viewer
    // goes, the window closes; while a tool runs or a trial asks, once that
    // command has ended.
    void Close();
    bool Closed() const { return closed_; }
    // Windows ends the session: both positions are stored, nothing is shown.
    void EndSession();

    // Commands. Each starts only when no other runs and the window is at
    // rest; otherwise the user hears a beep.
    void SaveProfile();
    void LoadProfile() { Run(ListCommand::Load); }
    void DeleteProfile() { Run(ListCommand::Delete); }
    void RenameProfile() { Run(ListCommand::Rename); }
    void CreateShortcut() { Run(ListCommand::CreateShortcut); }
    void RefreshProfiles() { Run(ListCommand::Refresh); }
    void Run(ListCommand command);
    void UndoLoad() { Run(ListCommand::Undo); }
    // A start from the command line handed this window a request: answer
    // gets the exit code as soon as it is known (kExitBusy at once unless the
    // window is at rest), before the last box; for a trial, once it ended.
    void LoadHandedOver(const HandedRequest& request, const std::function<void(int)>& answer);
    // Harmless at any time: the viewer shows what it has while a command runs.
    void ShowCurrentSettings();
    void ShowAbout();
    void ProfileSelected();
    // A key or a click in the profile list (F5 anywhere in the window);
    // gives whether it was one of the list's.
    bool ListInput(Input input);
    // The list's context menu was asked for, on a profile or not.
    void ContextMenu(bool onProfile);
    // Its items: the profile's when one is under the pointer (or selected,
    // when the keyboard opened it), and Undo when there is a load to undo.
    std::vector<MenuItem> ProfileMenu(bool onProfile);
    // The window became active or inactive: coming back, it shows what
    // changed in the Profiles folder meanwhile.
    void Activated(bool active);
    // A character typed into the name box; Enter saves.
    void NameKeyPressed(int character);
    void NameKeyReleased();

    ViewerController& Viewer() { return viewer_; }
    ViewerController& Comparison() { return comparison_; }

private:
    // Marks the time a command runs, its boxes included: no other may start
    // inside it, from the window, a key, a posted message or another start's
    // hand-over. Two would share Settings.bat, and a load run inside a save's
    // question would be dumped into the profile being saved.
    class CommandScope {
    public:
        explicit CommandScope(MainController& owner) : owner_(owner), outer_(owner.busy_) { owner_.busy_ = true; }
        ~CommandScope() {
            owner_.busy_ = outer_;
            if (!outer_) owner_.CommandEnded();
        }
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        MainController& owner_;
        bool outer_;
    };
    static std::wstring AnotherNameText(const std::wstring& name, const std::wstring& file);
    Answer Tell(const std::wstring& text, const std::wstring& title = kAppTitle, Buttons buttons = Buttons::Ok);
    // The one rule for every way in: no command runs, the window is not
    // closing, and it is at the top of its own loop.
    bool AtRest();
    bool Admit();
    void Do(ListCommand command);
    void FinishClose();
    void CommandEnded();
    void Status(const std::wstring& text);
    enum class Reading { Fill, Reread, QuietReread };
    void ListProfiles(Reading reading);
    void RefillProfileList() { ListProfiles(Reading::Fill); }
    std::wstring RenameProblem(const std::wstring& old, const std::wstring& name);
    void Rename();
    bool RenameTo(const std::wstring& old, const std::wstring& typed);
    std::wstring SelectedOrSay(const wchar_t* noneSelected);
    void CreateShortcutOfSelected();
    void MakeShortcutOf(const std::wstring& name, const std::wstring& desktop);
    void Delete();
    bool Vanished(const std::wstring& name);
    void ShowActiveAddress();
    void Capture();
    void SaveTyped(const std::wstring& typed);
    std::wstring ReplaceWithDump(const std::wstring& profile);
    int Resolve(const std::wstring& given, std::wstring& name);
    int HandOver(const HandedRequest& request);
    void SettleHandOver(int code);
    int Conclude(int code, const std::wstring& text);
    // One load: a profile, or the snapshot going back from one.
    struct LoadPlan {
        std::wstring profile;      // the profile loaded, or gone back from
        bool undo = false;         // the snapshot is loaded rather than the profile
        bool goingBack = false;    // what the new snapshot records: going back from the profile, or its load
        unsigned trialSeconds = 0;
        bool answerAfterTrial = false;  // a start waiting for it hears the trial's end, not netsh's
        bool told = true;               // its result shows in a box and answers a waiting start
        std::wstring Label() const { return Snapshot{profile, goingBack, L"", false}.Label(); }
    };
    enum class TrialEnd { Kept, TimeUp, GoBack, BoxClosed, WindowClosed };
    int RunLoad(const std::function<int()>& load);
    int LoadNamed(const std::wstring& name, unsigned trySeconds);
    int LoadSelected(const std::wstring& entry, unsigned trySeconds);
    unsigned TrialSeconds(unsigned asked);
    int Apply(const LoadPlan& plan);
    int Loaded(int code, const std::wstring& addition);
    int RunTrial(const LoadPlan& plan, int code, const std::wstring& failed);
    TrialEnd WaitForTrial(const Trial& trial, const std::wstring& text);
    int Undo(bool ask);
    void OfferGoingBack();
    std::wstring Today();
    void DeleteSelected(const std::wstring& name);
    void LoadSelectedProfile();
    void CompareSelected();
    std::wstring DumpSettingsInForce();
    void ReportToolFailure(const std::wstring& message);
    void EndTool();

    Platform& platform_;
    MainView& view_;
    ErrorReport report_;
    std::wstring programFolder_;  // asked of the system once, shared by the runner and the store
    ToolRunner runner_;
    UndoFile undo_;
    ProfileStore store_;
    WindowPosition position_;
    ViewerController viewer_;
    ViewerController comparison_;
    bool positionRestored_ = false;
    bool refused_ = false;
    bool closed_ = false;
    bool closing_ = false;  // closed while a tool or a trial runs: the window goes once its command has ended
    bool inTrial_ = false;  // a trial load's question is open
    std::vector<std::wstring> shown_;  // what the list shows, sorted
    bool listFresh_ = false;           // no need to read the folder again on activation
    bool busy_ = false;                // a command runs, or one of its boxes is open
    std::function<void(int)> pendingAnswer_;  // a handed-over load not yet answered
    bool windowless_ = false;  // a start from the command line: no window, no positions
    bool quiet_ = false;
};

}  // namespace roamwise
