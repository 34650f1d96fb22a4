// frmIpconfig: the current-settings viewer. One program-wide instance,
// loaded on first use, discarded when closed and loaded afresh next time.
#pragma once

#include <memory>
#include <string>

#include "error_report.h"
#include "platform.h"
#include "program_settings.h"
#include "view.h"

namespace roamwise {

class frmIpconfig {
public:
    frmIpconfig(Platform& platform, View& view, ErrorReport& report)
        : platform_(platform), view_(view), report_(report) {}

    bool Loaded() const { return loaded_; }

    // Loads the window hidden if it is not loaded yet.
    void EnsureLoaded();
    void Show();
    void SetText(const std::wstring& text);
    // Closes the window (user or main window), storing its position.
    void Unload();

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

private:
    Platform& platform_;
    View& view_;
    ErrorReport& report_;
    std::unique_ptr<cProgramSettings> settings_;
    bool loaded_ = false;
};

}  // namespace roamwise
