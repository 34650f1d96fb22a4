// Control identifiers and window classes of Roamwise's windows. The
// end-to-end driver uses them too, to find the controls of the running program.
#pragma once

namespace roamwise {
namespace ids {

// Identifiers start above IDOK and IDCANCEL, so that Enter and Escape,
// which the dialog navigation turns into those two, reach no command.
enum ControlId : int {
    kProfileList = 101,
    kLoadButton = 102,
    kDeleteButton = 103,
    kNameBox = 104,
    kSaveButton = 105,
    kSettingsButton = 106,
    kAboutButton = 107,
    kSettingsLabel = 108,
    kLoadFrame = 109,
    kSaveFrame = 110,
    kSettingsFrame = 111,
    kStatusBar = 112,
    // Hidden labels that name the control after them for screen readers.
    kProfileListLabel = 113,
    kNameBoxLabel = 114,
    kSettingsText = 201,
    kSettingsTextLabel = 202,
};

// F5 and Ctrl+Z in the main window (keyboard accelerators, not controls).
constexpr int kRefreshCommand = 120;
constexpr int kUndoCommand = 121;

// What the main window returns for a request handed over (WM_COPYDATA under
// one of the request tags): the exit code + 1, or 0 when it did not take it.
constexpr long AnswerOf(int exitCode) { return exitCode + 1L; }

}  // namespace ids

#define ROAMWISE_MAIN_CLASS L"RoamwiseMainWindow"
#define ROAMWISE_VIEWER_CLASS L"RoamwiseViewerWindow"
#define ROAMWISE_COMPARISON_CLASS L"RoamwiseComparisonWindow"

}  // namespace roamwise
