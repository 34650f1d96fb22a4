// The current-settings viewer: captured at start-up, shown on demand,
// discarded when closed and loaded afresh at its stored place.
#include <gtest/gtest.h>

#include "harness.h"

namespace roamwise {
namespace {

using testing::ExpectBoxes;
using testing::kSettingsKey;
using testing::Program;

TEST(Viewer, ShowRecapturesAndKeepsTheOpenWindowWhereItIs) {
    Program p;
    p.platform.ipconfigText = "first";
    p.form.Form_Load();
    EXPECT_EQ(p.platform.Content(p.Batch()), "ipconfig /all > C:\\ROAMWI~1\\ipinfo.txt\r\n");
    EXPECT_EQ(p.view.viewerText, L"first");
    EXPECT_FALSE(p.view.viewerShown);

    p.platform.ipconfigText = "second";
    p.form.cmdSettings_Click();
    EXPECT_TRUE(p.view.viewerShown);
    EXPECT_EQ(p.view.viewerText, L"second");

    p.view.viewerRect = {3000, 4000, 7500, 7300};  // the user moved it
    p.platform.ipconfigText = "third\xe9";
    p.form.cmdSettings_Click();
    EXPECT_EQ(p.view.viewerText, L"third\u00e9");
    EXPECT_EQ(p.view.viewerRect.left, 3000);
    EXPECT_EQ(p.view.viewerCreations, 1);
    EXPECT_TRUE(p.view.messages.empty());
}

TEST(Viewer, ClosedViewerComesBackAtItsStoredPlaceWithAFreshCapture) {
    Program p;
    p.form.Form_Load();
    p.form.cmdSettings_Click();
    p.view.viewerRect = {6000, 1500, 10500, 4800};
    p.form.Viewer().Unload();
    EXPECT_FALSE(p.view.viewerCreated);

    p.view.viewerRect = {0, 0, 4500, 3300};  // a new window starts at the default place
    p.platform.ipconfigText = "after reopening";
    p.form.cmdSettings_Click();
    EXPECT_EQ(p.view.viewerCreations, 2);
    EXPECT_EQ(p.view.viewerRect.left, 6000);
    EXPECT_EQ(p.view.viewerRect.top, 1500);
    EXPECT_EQ(p.view.viewerText, L"after reopening");
    EXPECT_TRUE(p.view.viewerShown);
}

TEST(Viewer, StoredPlaceThatCannotBeUsedGivesAReachableWindow) {
    const struct {
        std::string left, top;
        long x, y;
    } cases[] = {
        {"", "", 0, 0},                  // first run: nothing stored
        {"abc", "200", 0, 200},          // not a number reads as 0
        {"99999999999", "300", 0, 300},  // beyond 32 bits likewise
        {"-90000", "-90000", 0, 0},      // wholly off screen: pulled back
        {"-1000", "600", -1000, 600},    // partly visible: as stored
    };
    for (const auto& c : cases) {
        Program p;
        if (!c.left.empty()) {
            p.platform.SetRegistryValue(kSettingsKey, "Form2Left", kRegSz, c.left + '\0');
            p.platform.SetRegistryValue(kSettingsKey, "Form2Top", kRegSz, c.top + '\0');
        }
        p.view.viewerRect = {500, 500, 5000, 3800};
        p.form.Form_Load();
        EXPECT_EQ(p.view.viewerRect.left, c.x) << c.left;
        EXPECT_EQ(p.view.viewerRect.top, c.y) << c.top;
        EXPECT_TRUE(p.view.messages.empty()) << c.left;
    }
}

TEST(Viewer, TextBoxFollowsTheClientSizeWithoutALowerBound) {
    Program p;
    p.form.Form_Load();
    EXPECT_EQ(p.view.textSize.width, 4215);  // sized at load
    EXPECT_EQ(p.view.textSize.height, 2760);
    for (Size client : {Size{9000, 7000}, Size{15, 0}, Size{0, 0}, Size{4215, 2760}}) {
        p.view.viewerClient = client;
        p.form.Viewer().Form_Resize();
        EXPECT_EQ(p.view.textSize.width, client.width);
        EXPECT_EQ(p.view.textSize.height, client.height);
    }
}

TEST(Viewer, UnreadableCaptureIsReportedAndStartUpGoesOn) {
    Program p;
    p.platform.AddDirectory(p.platform.appDir + L"\\ipinfo.txt");
    p.form.Form_Load();
    ExpectBoxes(p.view, {{L"Run_Ipconfig", L"Error: 2. The system cannot find the file specified."}});
    EXPECT_EQ(p.view.status, L" Active IP: 192.0.2.7");
}

}  // namespace
}  // namespace roamwise
