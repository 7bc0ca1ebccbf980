// The window on a screen of 144 DPI: every measure one and a half times its
// size at 96 DPI. The test run sets 144 DPI for this test alone (WindowAt144Dpi
// in CMakeLists.txt); at 96 DPI it is disabled.
#include "tests/e2e/windows/WindowFixture.h"

using namespace WindowIds;

namespace {

class WindowHighDpi : public WindowFixture {
protected:
    // Control's place in its parent's client area.
    RECT PlaceOf(int id) const
    {
        const HWND control = window->Control(id);
        RECT place;
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT *>(&place), 2);
        return place;
    }

    static void ExpectPlace(const RECT &place, int left, int top, int width, int height)
    {
        EXPECT_NEAR(place.left, left, 1);
        EXPECT_NEAR(place.top, top, 1);
        EXPECT_NEAR(place.right - place.left, width, 1);
        EXPECT_NEAR(place.bottom - place.top, height, 1);
    }
};

} // namespace

TEST_F(WindowHighDpi, DISABLED_EveryMeasureScalesAt144Dpi)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 144) << "the screen is not at 144 DPI";
    PrepareProduct("127.0.0.1", 2121);
    Start();

    RECT client;
    ::GetClientRect(window->Handle(), &client);
    EXPECT_NEAR(client.right, 669, 1);
    EXPECT_NEAR(client.bottom, 485, 1);
    ExpectPlace(PlaceOf(StatusBar1), 0, 456, 669, 29);
    ExpectPlace(PlaceOf(PanelRtf), 285, 3, 372, 414);
    ExpectPlace(PlaceOf(SpeedExit), 138, 156, 132, 42);
    ExpectPlace(PlaceOf(SpeedProgramAkt), 240, 6, 33, 33);
    ExpectPlace(PlaceOf(EditRemoteFile), 120, 225, 510, 33);
}
