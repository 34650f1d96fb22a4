// frmRoamwise: the behaviour of the main window, its start-up and closing,
// the profile list, and every command it takes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "command_runner.h"
#include "error_report.h"
#include "frm_ipconfig.h"
#include "platform.h"
#include "program_settings.h"
#include "view.h"

namespace roamwise {

class frmRoamwise {
public:
    frmRoamwise(Platform& platform, View& view);

    // Start-up. When it returns, Refused() tells whether the program must
    // end at once instead of showing the window.
    void Form_Load();
    bool Refused() const { return refused_; }
    // Closing is never refused.
    void Form_Unload();
    bool Unloaded() const { return unloaded_; }

    // Commands.
    void cmdLoad_Click();
    void cmdDelete_Click();
    void cmdSave_Click();
    void cmdSettings_Click();
    void Command1_Click();
    void List1_Click();
    void Text1_KeyPress(int& keyAscii);
    void Text1_KeyUp(int keyCode, int shift);

    // The viewer window, for the adapter's events of that window.
    frmIpconfig& Viewer() { return viewer_; }
    // True while an external tool runs.
    bool Busy() const { return busy_; }

    // Profile store and listing.
    void File_List();
    std::int32_t FilesToArray(std::wstring& strDirectory, bool fIncludeHidden, bool fIncludeSystem,
                              std::vector<std::wstring>& astrIn);
    bool FileExists(const std::wstring& strDest);

    // The active-IP status rule.
    void ShowActiveIpStatus();
    // Captures ipconfig /all into the viewer.
    void Run_Ipconfig();

    std::wstring ProfileDirectory() const;

private:
    class BusyScope;
    void RestorePosition();
    void StorePosition();
    void SaveProfile();
    bool RefuseWhileBusy();

    Platform& platform_;
    View& view_;
    ErrorReport report_;
    CommandRunner runner_;
    frmIpconfig viewer_;
    std::unique_ptr<cProgramSettings> settings_;
    std::wstring appDir_;
    bool refused_ = false;
    bool unloaded_ = false;
    bool busy_ = false;
};

// Texts the program shows.
namespace text {
extern const wchar_t kAppTitle[];
extern const wchar_t kAboutText[];
}  // namespace text

}  // namespace roamwise
