// The main window: creates its controls from the layout table, shows what
// the core tells it (MainView) and passes the user's actions to the
// MainController.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <oleacc.h>

#include "com_objects.h"
#include "handles.h"
#include "view.h"
#include "window_base.h"

namespace roamwise {
class MainController;

namespace win32 {

class MainWindow : public Window<MainView> {
public:
    explicit MainWindow(HINSTANCE instance) : Window(instance) {}
    ~MainWindow() override;

    // Events go to the controller once it is attached.
    void Attach(MainController& controller) { controller_ = &controller; }
    // Creates the window hidden, with all its controls. False on failure.
    bool Create();
    void Show();

    Answer ShowMessage(const std::wstring& text, const std::wstring& title, Buttons buttons) override;
    void Beep() override;
    void ClearProfiles() override;
    void AddProfile(const std::wstring& name) override;
    std::wstring SelectedProfile() override;
    void SelectProfile(const std::wstring& name) override;
    std::optional<std::wstring> AskNewName(const std::wstring& profile, const std::wstring& text) override;
    bool AtRest() override;
    TrialChoice AskToKeep(const std::wstring& text, const std::function<std::optional<std::wstring>()>& countdown) override;
    int ShowMenu(const std::vector<MenuItem>& items) override;
    void TakeNoInput() override;
    void CloseWindow() override;
    void SetProfileTooltip(const std::wstring& text) override;
    std::wstring TypedName() override;
    void SetNameTooltip(const std::wstring& text) override;
    void SetStatus(const std::wstring& text) override;
    void SetBusyPointer(bool busy) override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNameBoxMessage(HWND box, WNDPROC original, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControl(int index);
    void SubclassControl(int id, WNDPROC& original);
    void CreateTooltips();
    void SetTooltip(int id, const std::wstring& text);
    void RelayToTooltip(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    LRESULT OnListMessage(HWND list, WNDPROC original, UINT message, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(HWND from, LPARAM at);
    POINT MenuPlace(HWND list, LPARAM at) const;
    void NameForScreenReaders();
    void Click(int id);
    bool OnSetCursor(HWND over, int hitTest);
    bool OnActivate(WPARAM wParam);
    void OnClose();
    LRESULT OnLoadRequest(const COPYDATASTRUCT* request);
    void UpdateClock();
    void ResumeListRedraw();
    bool CursorOverWindow() const;
    HWND Control(int id) const;

    MainController* controller_ = nullptr;
    HWND controls_[14] = {};  // by id, from the profile list on
    HWND tooltip_ = nullptr;
    HWND focus_ = nullptr;    // restored when the window is activated again
    WNDPROC listProcedure_ = nullptr;
    WNDPROC nameBoxProcedure_ = nullptr;
    Font windowFont_;
    Font sansSerifFont_;
    Font aboutFont_;
    Icon magnifier_;
    Accelerators accelerators_;
    ComPtr<IAccPropServices> names_;  // names given where only oleacc can give them
    bool menuOnProfile_ = false;      // the last right-click hit a profile
    bool doubleClickOnProfile_ = false;
    POINT menuPlace_ = {};
    std::wstring clock_;
    bool busy_ = false;
    bool listRedrawOff_ = false;
    LRESULT topBeforeRefill_ = 0;  // the list's first visible profile before a refill
};

}  // namespace win32
}  // namespace roamwise
