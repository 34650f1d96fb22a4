#include "frm_ipconfig.h"

#include "numbers.h"
#include "screen_placement.h"

namespace roamwise {

void frmIpconfig::EnsureLoaded() {
    if (loaded_) return;
    loaded_ = true;
    view_.CreateViewer();
    Form_Load();
}

void frmIpconfig::Show() {
    EnsureLoaded();
    view_.ShowViewer();
}

void frmIpconfig::SetText(const std::wstring& text) {
    EnsureLoaded();
    view_.SetViewerText(text);
}

void frmIpconfig::Unload() {
    if (!loaded_) return;
    Form_Unload();
    loaded_ = false;
    settings_.reset();
    view_.DestroyViewer();
}

void frmIpconfig::Form_Load() {
    settings_ = std::make_unique<cProgramSettings>(platform_, report_);
    settings_->ConfigureForRoamwise();
    // The program only ever stores numbers; anything else reads as 0.
    const long left = TextToLongOr(settings_->ReadEntry(L"Form2Left", L"0"), 0);
    const long top = TextToLongOr(settings_->ReadEntry(L"Form2Top", L"0"), 0);
    const Rect now = view_.WindowRect(WindowId::Viewer);
    const Point place = KeepOnScreen({left, top}, {now.Width(), now.Height()}, view_.WorkAreas());
    view_.MoveWindow(WindowId::Viewer, place.left, place.top);
    Form_Resize();
}

void frmIpconfig::Form_Resize() { view_.SizeViewerText(view_.ViewerClientSize()); }

void frmIpconfig::Form_Unload() {
    if (!settings_) return;
    const Rect r = view_.WindowRect(WindowId::Viewer);
    settings_->WriteEntry(L"Form2Left", std::to_wstring(r.left));
    settings_->WriteEntry(L"Form2Top", std::to_wstring(r.top));
}

}  // namespace roamwise
