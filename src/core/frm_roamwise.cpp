#include "frm_roamwise.h"

#include "numbers.h"
#include "profile_names.h"
#include "screen_placement.h"
#include "windows_version.h"

namespace roamwise {

namespace text {
const wchar_t kAppTitle[] = L"Roamwise";
const wchar_t kAboutText[] =
    L"Roamwise ver.1.0\r"
    L"Saves and restores the network settings of this computer.\r"
    L"\r"
    L"Comments, Questions:\r"
    L"     E-Mail: roamwise@example.com";
}  // namespace text

namespace {

const wchar_t kNoAddress[] = L"127.0.0.1";
// Where a dump for a name beyond ASCII is written first; not a profile,
// since the list shows only names ending in ".txt".
const wchar_t kDumpWorkFile[] = L"~dump.tmp";
const wchar_t kActiveIp[] = L" Active IP: ";

// Normal, hidden and system files as the flags ask; never directories.
bool Listed(std::uint32_t attributes, bool includeHidden, bool includeSystem) {
    if (attributes & attr::kDirectory) return false;
    if ((attributes & attr::kHidden) && !includeHidden) return false;
    if ((attributes & attr::kSystem) && !includeSystem) return false;
    return true;
}

// A profile file: a name before a lower-case ".txt".
bool IsProfileFile(const std::wstring& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, L".txt") == 0;
}

}  // namespace

// Marks the time an external tool runs: no second tool may start then,
// because both would share Settings.bat. Save and load also take the
// hourglass back when they end, however they end.
class frmRoamwise::BusyScope {
public:
    BusyScope(frmRoamwise& form, bool ownsPointer)
        : form_(form), wasBusy_(form.busy_), ownsPointer_(ownsPointer) {
        form_.busy_ = true;
    }
    ~BusyScope() {
        form_.busy_ = wasBusy_;
        if (ownsPointer_ && !form_.unloaded_) form_.view_.SetBusyPointer(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    frmRoamwise& form_;
    bool wasBusy_;
    bool ownsPointer_;
};

frmRoamwise::frmRoamwise(Platform& platform, View& view)
    : platform_(platform),
      view_(view),
      report_(view),
      runner_(platform, report_),
      viewer_(platform, view, report_),
      appDir_(platform.ApplicationDirectory()) {}

std::wstring frmRoamwise::ProfileDirectory() const { return appDir_ + L"\\Profiles"; }

// --- start-up and closing ----------------------------------------------------

void frmRoamwise::Form_Load() {
    report_.Trap(L"Form_Load", [&] {
        if (WindowsVersionRefused(platform_, report_)) {
            refused_ = true;
            view_.ShowMessage(kRefusalText, text::kAppTitle, Buttons::Ok);
            return;
        }
        RestorePosition();
        File_List();
        ShowActiveIpStatus();
        Run_Ipconfig();
    });
}

void frmRoamwise::RestorePosition() {
    settings_ = std::make_unique<cProgramSettings>(platform_, report_);
    settings_->ConfigureForRoamwise();
    // Both are read and converted before the window moves; text that is not
    // a 32-bit number fails start-up here.
    const long left = TextToLong(settings_->ReadEntry(L"FormLeft", L"0"));
    const long top = TextToLong(settings_->ReadEntry(L"FormTop", L"0"));
    const Rect now = view_.WindowRect(WindowId::Main);
    const Point place = KeepOnScreen({left, top}, {now.Width(), now.Height()}, view_.WorkAreas());
    view_.MoveWindow(WindowId::Main, place.left, place.top);
}

void frmRoamwise::StorePosition() {
    if (!settings_) return;  // a start that never got this far writes nothing
    const Rect r = view_.WindowRect(WindowId::Main);
    settings_->WriteEntry(L"FormLeft", std::to_wstring(r.left));
    settings_->WriteEntry(L"FormTop", std::to_wstring(r.top));
}

void frmRoamwise::Form_Unload() {
    if (unloaded_) return;
    StorePosition();
    viewer_.Unload();
    unloaded_ = true;
    // An operation still waiting for its tool finishes its file work
    // without touching the closed windows.
    report_.Silence();
}

void frmRoamwise::ShowActiveIpStatus() {
    const std::wstring ip = platform_.LocalIP();
    view_.SetStatus(ip == kNoAddress ? std::wstring(kActiveIp) + L"Not Connected" : kActiveIp + ip);
}

// --- profile store -------------------------------------------------------------

void frmRoamwise::File_List() {
    report_.Trap(L"File_List", [&] {
        view_.ListClear();
        std::wstring directory = ProfileDirectory();
        std::vector<std::wstring> names;
        const std::int32_t count = FilesToArray(directory, true, true, names);
        for (std::int32_t i = 0; i < count; ++i) {
            if (IsProfileFile(names[i])) view_.ListAdd(names[i].substr(0, names[i].size() - 4));
        }
    });
}

std::int32_t frmRoamwise::FilesToArray(std::wstring& strDirectory, bool fIncludeHidden, bool fIncludeSystem,
                                       std::vector<std::wstring>& astrIn) {
    std::int32_t count = 0;
    report_.Trap(L"FilesToArray", [&] {
        if (strDirectory.empty() || strDirectory.back() != L'\\') strDirectory += L'\\';
        std::vector<std::wstring> found;
        for (const DirEntry& entry : platform_.FindFiles(strDirectory + L"*")) {
            if (Listed(entry.attributes, fIncludeHidden, fIncludeSystem)) found.push_back(entry.name);
        }
        if (found.empty()) return;  // the caller's array stays as it was
        count = static_cast<std::int32_t>(found.size());
        astrIn = std::move(found);
    });
    return count;
}

bool frmRoamwise::FileExists(const std::wstring& strDest) {
    if (strDest.empty()) return false;
    std::vector<DirEntry> entries;
    try {
        entries = platform_.FindFiles(strDest);
    } catch (const Failure&) {
        return false;  // an invalid name or a missing drive finds nothing
    }
    bool exists = false;
    report_.Trap(L"FileExists", [&] {
        for (const DirEntry& entry : entries) exists = exists || Listed(entry.attributes, false, false);
    });
    return exists;
}

// --- commands ------------------------------------------------------------------

bool frmRoamwise::RefuseWhileBusy() {
    if (!busy_) return false;
    view_.Beep();
    return true;
}

void frmRoamwise::cmdSave_Click() {
    if (RefuseWhileBusy()) return;
    report_.Trap(L"cmdSave", [&] { SaveProfile(); });
}

void frmRoamwise::SaveProfile() {
    const std::wstring typed = view_.NameText();
    const std::wstring name = ProfileFileName(typed);
    if (typed.empty()) {
        view_.ShowMessage(L"Please enter a profile name", text::kAppTitle, Buttons::Ok);
        return;
    }
    const std::wstring directory = ProfileDirectory();
    const std::wstring profile = directory + L"\\" + name + L".txt";
    const std::wstring problem = ProfileNameProblem(platform_, name, profile);
    if (!problem.empty()) {
        view_.ShowMessage(problem, text::kAppTitle, Buttons::Ok);
        return;
    }
    if (FileExists(profile) &&
        view_.ShowMessage(L"This profile already exist do you want to overite it?", L"Profile Exist",
                          Buttons::YesNo) != Answer::Yes)
        return;

    BusyScope busy(*this, true);
    platform_.CreateDirectory(directory);
    const std::wstring shortDirectory = runner_.GetShortFilename(directory);
    if (shortDirectory.empty()) throw Failure{kErrorPathNotFound, platform_.ErrorText(kErrorPathNotFound)};
    // The command interpreter reads the batch file in the OEM code page, not
    // in the ANSI one it is written in: a name with letters beyond ASCII
    // would come out as another name. Such a dump goes to a plain work file
    // first, which is renamed once the dump has succeeded.
    bool plain = true;
    for (wchar_t c : name) plain = plain && c < 128;
    const std::wstring dumpName = plain ? name + L".txt" : std::wstring(kDumpWorkFile);
    const std::wstring dumpFile = directory + L"\\" + dumpName;
    runner_.WriteBatchFile(appDir_, L"netsh -c interface dump > " +
                                        CommandRunner::CommandLinePath(shortDirectory + L"\\" + dumpName));
    view_.SetBusyPointer(true);
    view_.SetStatus(L"   Saving Settings");

    // The old profile stays aside until the new dump has succeeded, so a
    // failed dump never costs the user a profile.
    const std::wstring keptAside = profile + L".bak";
    bool keptOld = false;
    bool keptReadOnly = false;
    for (const DirEntry& entry : platform_.FindFiles(profile)) {
        if (entry.attributes & attr::kDirectory) continue;
        keptOld = true;
        keptReadOnly = (entry.attributes & attr::kReadOnly) != 0;
    }
    if (keptOld) platform_.MoveFile(profile, keptAside);
    auto putBack = [&] {
        try {
            platform_.DeleteFile(dumpFile);
        } catch (const Failure&) {
            // nothing was written
        }
        if (keptOld) platform_.MoveFile(keptAside, profile);
    };

    std::int32_t exitCode = 0;
    try {
        exitCode = runner_.RunBatchFile();
    } catch (const Failure&) {
        putBack();
        throw;
    }
    if (exitCode != 0) {
        putBack();
        if (unloaded_) return;
        ShowActiveIpStatus();
        view_.SetBusyPointer(false);
        view_.ShowMessage(L"The settings could not be saved: netsh ended with exit code " +
                              std::to_wstring(exitCode) + L".",
                          text::kAppTitle, Buttons::Ok);
        return;
    }
    if (!plain) {
        try {
            platform_.MoveFile(dumpFile, profile);
        } catch (const Failure&) {
            putBack();
            throw;
        }
    }
    if (keptOld) {
        try {
            // The user agreed to replace it: a read-only profile goes too,
            // rather than lingering beside the new one as a .bak file.
            if (keptReadOnly) platform_.SetReadOnly(keptAside, false);
            platform_.DeleteFile(keptAside);
        } catch (const Failure&) {
            // a left-over copy of the old profile harms nothing
        }
    }
    if (unloaded_) return;
    view_.SetBusyPointer(false);
    File_List();
    ShowActiveIpStatus();
    view_.ShowMessage(L"Settings Saved", text::kAppTitle, Buttons::Ok);
}

void frmRoamwise::cmdLoad_Click() {
    if (RefuseWhileBusy()) return;
    report_.Trap(L"cmdLoad", [&] {
        const std::wstring entry = view_.ListText();
        if (entry.empty()) {
            view_.ShowMessage(L"Select a profile to load", text::kAppTitle, Buttons::Ok);
            return;
        }
        BusyScope busy(*this, true);
        view_.SetStatus(L"   Loading Settings");
        view_.SetBusyPointer(true);
        const std::wstring shortDirectory = runner_.GetShortFilename(ProfileDirectory());
        // Without the directory the path would name a file elsewhere.
        if (shortDirectory.empty()) throw Failure{kErrorPathNotFound, platform_.ErrorText(kErrorPathNotFound)};
        const std::int32_t exitCode =
            runner_.RunDirect(L"netsh -f " + CommandRunner::CommandLinePath(shortDirectory + L"\\" + entry + L".txt"));
        if (unloaded_) return;
        if (exitCode != 0) {
            ShowActiveIpStatus();
            view_.SetBusyPointer(false);
            view_.ShowMessage(L"The network settings could not be loaded: netsh ended with exit code " +
                                  std::to_wstring(exitCode) + L".",
                              text::kAppTitle, Buttons::Ok);
            return;
        }
        Run_Ipconfig();
        if (unloaded_) return;
        // The local address is read afresh below; nothing else to refresh.
        view_.SetBusyPointer(false);
        const std::wstring ip = platform_.LocalIP();
        if (ip != kNoAddress) {
            view_.SetStatus(kActiveIp + ip);
            view_.ShowMessage(L"Network Settings Loaded", text::kAppTitle, Buttons::Ok);
        } else {
            view_.ShowMessage(L"There is no active connection to change.\r"
                              L"Please connect to a network before loading a Profile.",
                              L"Network Error", Buttons::Ok);
        }
    });
}

void frmRoamwise::cmdDelete_Click() {
    report_.Trap(L"cmdDelete", [&] {
        const std::wstring name = view_.ListText();
        if (name.empty()) {
            view_.ShowMessage(L"Please select a profile to delete", text::kAppTitle, Buttons::Ok);
            return;
        }
        view_.SetStatus(L"   Deleting profile: " + name);
        if (view_.ShowMessage(L"Are you sure you want to delete " + name, text::kAppTitle, Buttons::YesNo) !=
            Answer::Yes) {
            view_.SetStatus(kActiveIp + platform_.LocalIP());
            return;
        }
        const std::wstring profile = appDir_ + L"\\profiles\\" + name + L".txt";
        // The user confirmed the deletion, so a read-only profile is deleted
        // as well; should the deletion still fail, it keeps its protection.
        bool readOnly = false;
        for (const DirEntry& entry : platform_.FindFiles(profile)) {
            if (!(entry.attributes & attr::kDirectory) && (entry.attributes & attr::kReadOnly)) readOnly = true;
        }
        if (readOnly) platform_.SetReadOnly(profile, false);
        try {
            platform_.DeleteFile(profile);
        } catch (const Failure&) {
            if (readOnly) {
                try {
                    platform_.SetReadOnly(profile, true);
                } catch (const Failure&) {
                    // the deletion's own failure is the one to report
                }
            }
            throw;
        }
        File_List();
        view_.SetStatus(kActiveIp + platform_.LocalIP());
    });
}

void frmRoamwise::cmdSettings_Click() {
    // While a tool runs the viewer shows what it has: a capture now would
    // rewrite Settings.bat under the running one.
    if (!busy_) Run_Ipconfig();
    // The main window may have been closed during the capture: the viewer
    // must not come back on its own.
    if (unloaded_) return;
    viewer_.Show();
}

void frmRoamwise::Run_Ipconfig() {
    report_.Trap(L"Run_Ipconfig", [&] {
        BusyScope busy(*this, false);
        std::wstring directory = runner_.GetShortFilename(appDir_);
        if (directory.empty()) directory = appDir_;
        const std::wstring capture = directory + L"\\ipinfo.txt";
        runner_.WriteBatchFile(directory, L"ipconfig /all > " + CommandRunner::CommandLinePath(capture));
        runner_.RunBatchFile();  // a failed capture still shows whatever the file holds
        if (unloaded_) return;
        viewer_.SetText(platform_.FromAnsi(platform_.ReadFile(capture)));
    });
}

void frmRoamwise::Command1_Click() { view_.ShowMessage(text::kAboutText, L"About", Buttons::Ok); }

void frmRoamwise::List1_Click() { view_.SetListTooltip(view_.ListText()); }

void frmRoamwise::Text1_KeyPress(int& keyAscii) {
    if (keyAscii == 13) cmdSave_Click();
}

void frmRoamwise::Text1_KeyUp(int /*keyCode*/, int /*shift*/) { view_.SetNameTooltip(view_.NameText()); }

}  // namespace roamwise
