// The framework's pieces that need no window of the program: message-map
// dispatch with its typed rows and declines, the anchor arithmetic, and the
// scoped device context that undoes its selections.
#include "framework/anchor_layout.h"
#include "framework/dc.h"
#include "framework/message_map.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Records which handler ran and with what.
struct Handlers {
    std::string ran;
    void OnClick() { ran = "click"; }
    void OnMenu() { ran = "menu"; }
    fw::Reply OnNotify(NMHDR& header) { return ran = "notify", static_cast<LRESULT>(header.code); }
    fw::Reply OnSize(UINT type, int cx, int cy)
    {
        ran = "size " + std::to_string(type) + " " + std::to_string(cx) + "x" + std::to_string(cy);
        return fw::kDeclined;
    }
    fw::Reply OnMove(int x, int y) { return ran = "move " + std::to_string(x) + "," + std::to_string(y), 0; }
    fw::Reply OnTimer(WPARAM id, LPARAM)
    {
        ran = "timer";
        if (id == 7)
            return fw::kDeclined;
        return 42;
    }
};

const fw::MessageMap<Handlers> kMap = {
    fw::Command(10, BN_CLICKED, &Handlers::OnClick),
    fw::Command(11, &Handlers::OnMenu),
    fw::Notify(fw::kAny, 5u, &Handlers::OnNotify),
    fw::Size(&Handlers::OnSize),
    fw::Move(&Handlers::OnMove),
    fw::Message(WM_TIMER, &Handlers::OnTimer),
};

TEST(MessageMap, RowsMatchByMessageIdAndCodeAndMayDecline)
{
    NMHDR notify{nullptr, 3, 5};
    NMHDR otherCode{nullptr, 3, 6};
    const LPARAM leftAbove = MAKELPARAM(static_cast<WORD>(-20), static_cast<WORD>(-5));
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        fw::Reply reply;
        const char* ran;
    } cases[] = {
        {"a click", WM_COMMAND, MAKEWPARAM(10, BN_CLICKED), 0, 0, "click"},
        {"BN_CLICKED is 0, not any code", WM_COMMAND, MAKEWPARAM(10, BN_DOUBLECLICKED), 0, fw::kDeclined, ""},
        {"a menu command, any code", WM_COMMAND, MAKEWPARAM(11, 1), 0, 0, "menu"},
        {"an id without a row", WM_COMMAND, MAKEWPARAM(12, BN_CLICKED), 0, fw::kDeclined, ""},
        {"a notification from any control", WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&notify), 5, "notify"},
        {"another notification code", WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&otherCode), fw::kDeclined, ""},
        {"no header", WM_NOTIFY, 3, 0, fw::kDeclined, ""},
        {"size, declined", WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), fw::kDeclined, "size 2 640x480"},
        {"move left of and above the screen", WM_MOVE, 0, leftAbove, 0, "move -20,-5"},
        {"a message", WM_TIMER, 1, 0, 42, "timer"},
        {"a message declined", WM_TIMER, 7, 0, fw::kDeclined, "timer"},
        {"a message without a row", WM_PAINT, 0, 0, fw::kDeclined, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Handlers h;
        EXPECT_EQ(fw::DispatchMessageMap(h, kMap, c.message, c.wParam, c.lParam), c.reply);
        EXPECT_EQ(h.ran, c.ran);
    }
}

TEST(AnchorLayout, CalcRectMovesOnlyTheFollowingEdges)
{
    // Registered at 10,20 - 110,70 in a 400 x 300 client; new client 450 x 280.
    const RECT registered{10, 20, 110, 70};
    const struct {
        unsigned flags;
        RECT expected;
    } rows[] = {
        {0, {10, 20, 110, 70}},
        {fw::kSizeX | fw::kSizeY, {10, 20, 160, 50}},
        {fw::kMoveY, {10, 0, 110, 50}},
        {fw::kMoveX | fw::kMoveY, {60, 0, 160, 50}},
        {fw::kMoveX, {60, 20, 160, 70}},
        {fw::kFollowLeft | fw::kFollowBottom, {60, 20, 110, 50}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flags);
        const RECT r = fw::CAnchorLayout::CalcRect(registered, row.flags, 450, 280, 400, 300);
        EXPECT_TRUE(::EqualRect(&r, &row.expected)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        // Always from the registered rectangle: the same size gives it back.
        const RECT same = fw::CAnchorLayout::CalcRect(registered, row.flags, 400, 300, 400, 300);
        EXPECT_TRUE(::EqualRect(&same, &registered));
    }
}

TEST(ScopedDC, SelectionsGoBackOutAndOwnedObjectsAreDeleted)
{
    // A class-private context keeps its selections from one GetDC to the
    // next, so what the scoped one left behind can be read afterwards.
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuillonOwnDcTest";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                    wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    HDC probe = ::GetDC(window);
    const HGDIOBJ ownFont = ::GetCurrentObject(probe, OBJ_FONT);
    const HGDIOBJ ownBrush = ::GetCurrentObject(probe, OBJ_BRUSH);
    ::ReleaseDC(window, probe);

    HFONT owned = ::CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HBRUSH borrowed = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        fw::CDC dc;
        ASSERT_TRUE(dc.GetDC(window));
        EXPECT_FALSE(dc.GetDC(window)) << "one context at a time";
        EXPECT_TRUE(dc.SelectObject(owned, true));
        EXPECT_TRUE(dc.SelectObject(borrowed));
        EXPECT_FALSE(dc.SelectObject(nullptr));
        EXPECT_EQ(::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT), owned);
    }
    probe = ::GetDC(window);
    EXPECT_EQ(::GetCurrentObject(probe, OBJ_FONT), ownFont);
    EXPECT_EQ(::GetCurrentObject(probe, OBJ_BRUSH), ownBrush);
    ::ReleaseDC(window, probe);
    EXPECT_EQ(::GetObjectType(owned), 0u) << "the owned font is deleted";
    EXPECT_EQ(::GetObjectType(borrowed), static_cast<DWORD>(OBJ_BRUSH)) << "the borrowed brush is not";
    ::DeleteObject(borrowed);
    ::DestroyWindow(window);

    // A created context (a printer's) is deleted with its selections undone.
    HDC memory = ::CreateCompatibleDC(nullptr);
    {
        fw::CDC dc;
        ASSERT_TRUE(dc.Attach(memory));
        EXPECT_FALSE(dc.Attach(memory));
    }
    EXPECT_EQ(::GetObjectType(memory), 0u);
}

} // namespace
