// Control identifiers and window classes of Roamwise's windows. The
// end-to-end driver uses them too, to find the controls of the running program.
#pragma once

namespace roamwise {
namespace ids {

// Identifiers start above IDOK and IDCANCEL, so that Enter and Escape,
// which the dialog navigation turns into those two, reach no command.
enum ControlId : int {
    kList1 = 101,
    kCmdLoad = 102,
    kCmdDelete = 103,
    kText1 = 104,
    kCmdSave = 105,
    kCmdSettings = 106,
    kCommand1 = 107,
    kLabel1 = 108,
    kFrame1 = 109,
    kFrame2 = 110,
    kFrame3 = 111,
    kStatusBar1 = 112,
    kText2 = 201,
};

}  // namespace ids

#define ROAMWISE_MAIN_CLASS L"RoamwiseMainWindow"
#define ROAMWISE_VIEWER_CLASS L"RoamwiseViewerWindow"

}  // namespace roamwise
