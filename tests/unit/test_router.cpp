#include "base/router.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// What the last handler (or the dialog's default) received.
struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    WORD controlId, notifyCode;
    int calls;
} seen;

LRESULT RecordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen = {window, message, wParam, lParam, 0, 0, seen.calls + 1};
    return 1234;
}

LRESULT RecordCommand(HWND window, WORD controlId, WORD notifyCode, LPARAM lParam)
{
    seen = {window, 0, 0, lParam, controlId, notifyCode, seen.calls + 1};
    return 77;
}

// A dialog's own procedure is what DefDlgProcA consults first, so it shows
// exactly what the default received.
INT_PTR CALLBACK RecordingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < WM_USER && message != WM_COMMAND)
        return FALSE;
    RecordMessage(window, message, wParam, lParam);
    return TRUE;
}

const MessageEntry messageEntries[] = {{WM_USER + 1, RecordMessage}, {WM_USER + 2, RecordMessage}};
const CommandEntry commandEntries[] = {{105, RecordCommand}, {1, RecordCommand}};

class Router : public ::testing::Test {
protected:
    void SetUp() override
    {
        plain = CreateWindowExA(0, "STATIC", "start", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        struct {
            DLGTEMPLATE header;
            WORD menu, windowClass, title;
        } blank = {{WS_POPUP, 0, 0, 0, 0, 50, 20}, 0, 0, 0}; // no controls
        dialog = CreateDialogIndirectParamA(NULL, &blank.header, NULL, RecordingDialogProc, 0);
        ASSERT_TRUE(plain && dialog);
        seen = Seen{};
    }
    void TearDown() override
    {
        DestroyWindow(plain);
        DestroyWindow(dialog);
    }
    std::string PlainText()
    {
        char text[64] = "";
        GetWindowTextA(plain, text, sizeof text);
        return text;
    }
    void ExpectSeen(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        EXPECT_EQ(1, seen.calls);
        EXPECT_EQ(window, seen.window);
        EXPECT_EQ(message, seen.message);
        EXPECT_EQ(wParam, seen.wParam);
        EXPECT_EQ(lParam, seen.lParam);
    }
    HWND plain = NULL, dialog = NULL;
};

} // namespace

TEST_F(Router, MessagesReachTheirHandlerOrTheirTablesDefaultUnchanged)
{
    MessageTable none = MakeMessageTable(messageEntries, NoDefault);
    EXPECT_EQ(1234, RouteMessage(&none, plain, WM_USER + 2, 5, 6));
    ExpectSeen(plain, WM_USER + 2, 5, 6);

    // Without a default (every dialog): 0, and nothing called.
    seen = Seen{};
    EXPECT_EQ(0, RouteMessage(&none, plain, WM_SETTEXT, 0, (LPARAM) "changed"));
    EXPECT_EQ(0, CallDefault((DefaultKind)7, plain, WM_SETTEXT, 0, (LPARAM) "changed"));
    EXPECT_EQ("start", PlainText());

    MessageTable window = MakeMessageTable(messageEntries, WindowDefault);
    EXPECT_EQ(TRUE, RouteMessage(&window, plain, WM_SETTEXT, 0, (LPARAM) "routed"));
    EXPECT_EQ("routed", PlainText());
    // The wParam limit must arrive as given: 4 bytes hold 3 characters.
    char text[16] = "xxxxxxxxxxxxxxx";
    EXPECT_EQ(3, RouteMessage(&window, plain, WM_GETTEXT, 4, (LPARAM)text));
    EXPECT_STREQ("rou", text);
    EXPECT_EQ(0, seen.calls);

    // Empty tables, or a negative count (no entries, not a huge unsigned one).
    MessageTable empty = {0, NULL, WindowDefault, NULL}, negative = {-1, messageEntries, WindowDefault, NULL};
    EXPECT_EQ(TRUE, RouteMessage(&empty, plain, WM_SETTEXT, 0, (LPARAM) "empty"));
    EXPECT_EQ("empty", PlainText());
    EXPECT_EQ(TRUE, RouteMessage(&negative, plain, WM_SETTEXT, 0, (LPARAM) "negative"));
    EXPECT_EQ("negative", PlainText());
    CommandTable noCommands = {0, NULL, NoDefault};
    EXPECT_EQ(0, RouteCommand(&noCommands, plain, 105, 0));
    EXPECT_EQ(0, seen.calls);

    MessageTable dialogTable = MakeMessageTable(messageEntries, DialogDefault);
    RouteMessage(&dialogTable, dialog, WM_USER + 9, (WPARAM)-3, (LPARAM)0x7FFF1234);
    ExpectSeen(dialog, WM_USER + 9, (WPARAM)-3, (LPARAM)0x7FFF1234);
}

TEST_F(Router, CommandsMatchOnTheLowWordCarryTheirCodeAndGoWholeToTheDefault)
{
    CommandTable none = MakeCommandTable(commandEntries, NoDefault);
    EXPECT_EQ(77, RouteCommand(&none, plain, MAKEWPARAM(105, EN_CHANGE), 4242));
    EXPECT_EQ(1, seen.calls);
    EXPECT_EQ(plain, seen.window);
    EXPECT_EQ(WORD(105), seen.controlId);
    EXPECT_EQ(WORD(EN_CHANGE), seen.notifyCode);
    EXPECT_EQ(LPARAM(4242), seen.lParam);
    EXPECT_EQ(0, RouteCommand(&none, plain, MAKEWPARAM(199, EN_SETFOCUS), 9));
    EXPECT_EQ(1, seen.calls);

    // Through a message table, WM_COMMAND goes to its command table.
    static const CommandTable commands = MakeCommandTable(commandEntries, NoDefault);
    MessageTable messages = MakeMessageTable(messageEntries, NoDefault, &commands);
    EXPECT_EQ(77, RouteMessage(&messages, plain, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0));
    EXPECT_EQ(WORD(1), seen.controlId);
    EXPECT_EQ(0, RouteMessage(&messages, plain, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0));
    EXPECT_EQ(2, seen.calls);

    seen = Seen{};
    CommandTable dialogTable = MakeCommandTable(commandEntries, DialogDefault);
    RouteCommand(&dialogTable, dialog, MAKEWPARAM(999, 5), 31337);
    ExpectSeen(dialog, WM_COMMAND, MAKEWPARAM(999, 5), 31337);
}
