#include "base/router.h"
#include <gtest/gtest.h>

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    WORD controlId;
    WORD notifyCode;
    int calls;
};
Seen seen;

LRESULT RecordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen.window = window;
    seen.message = message;
    seen.wParam = wParam;
    seen.lParam = lParam;
    ++seen.calls;
    return 1234;
}

LRESULT RecordCommand(HWND window, WORD controlId, WORD notifyCode, LPARAM lParam)
{
    seen.window = window;
    seen.controlId = controlId;
    seen.notifyCode = notifyCode;
    seen.lParam = lParam;
    ++seen.calls;
    return 77;
}

// A dialog's own procedure is what DefDlgProcA consults first, so it shows
// exactly what the default received.
INT_PTR CALLBACK RecordingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER || message == WM_COMMAND) {
        RecordMessage(window, message, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

class Router : public ::testing::Test {
protected:
    void SetUp() override
    {
        seen = Seen{};
        plain = CreateWindowExA(0, "STATIC", "start", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(plain != NULL);
        // A dialog template with no controls.
        struct {
            DLGTEMPLATE header;
            WORD menu, windowClass, title;
        } blank = {{WS_POPUP, 0, 0, 0, 0, 50, 20}, 0, 0, 0};
        dialog = CreateDialogIndirectParamA(NULL, &blank.header, NULL, RecordingDialogProc, 0);
        ASSERT_TRUE(dialog != NULL);
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

    HWND plain = NULL;
    HWND dialog = NULL;
};

const MessageEntry messageEntries[] = {
    {WM_USER + 1, RecordMessage},
    {WM_USER + 2, RecordMessage},
};
const CommandEntry commandEntries[] = {
    {105, RecordCommand},
    {1, RecordCommand},
};

} // namespace

TEST_F(Router, MatchedMessageReachesItsHandlerWithTheMessageId)
{
    MessageTable table = MakeMessageTable(messageEntries, NoDefault);
    EXPECT_EQ(1234, RouteMessage(&table, plain, WM_USER + 2, 5, 6));
    EXPECT_EQ(1, seen.calls);
    EXPECT_EQ(plain, seen.window);
    EXPECT_EQ(UINT(WM_USER + 2), seen.message);
    EXPECT_EQ(WPARAM(5), seen.wParam);
    EXPECT_EQ(LPARAM(6), seen.lParam);
}

TEST_F(Router, UnmatchedMessageReachesDefWindowProcUnchanged)
{
    MessageTable table = MakeMessageTable(messageEntries, WindowDefault);
    EXPECT_EQ(TRUE, RouteMessage(&table, plain, WM_SETTEXT, 0, (LPARAM) "routed"));
    EXPECT_EQ("routed", PlainText());
    // The wParam limit must arrive as given: 4 bytes hold 3 characters.
    char text[16] = "xxxxxxxxxxxxxxx";
    EXPECT_EQ(3, RouteMessage(&table, plain, WM_GETTEXT, 4, (LPARAM)text));
    EXPECT_STREQ("rou", text);
    EXPECT_EQ(0, seen.calls);
}

TEST_F(Router, UnmatchedMessageReachesDefDlgProcUnchanged)
{
    MessageTable table = MakeMessageTable(messageEntries, DialogDefault);
    RouteMessage(&table, dialog, WM_USER + 9, (WPARAM)-3, (LPARAM)0x7FFF1234);
    EXPECT_EQ(1, seen.calls);
    EXPECT_EQ(dialog, seen.window);
    EXPECT_EQ(UINT(WM_USER + 9), seen.message);
    EXPECT_EQ((WPARAM)-3, seen.wParam);
    EXPECT_EQ((LPARAM)0x7FFF1234, seen.lParam);
}

TEST_F(Router, DialogTablesAnswerUnmatchedMessagesWithZeroAndCallNothing)
{
    MessageTable table = MakeMessageTable(messageEntries, NoDefault);
    EXPECT_EQ(0, RouteMessage(&table, plain, WM_SETTEXT, 0, (LPARAM) "changed"));
    EXPECT_EQ("start", PlainText());
    EXPECT_EQ(0, CallDefault((DefaultKind)7, plain, WM_SETTEXT, 0, (LPARAM) "changed"));
    EXPECT_EQ("start", PlainText());
    EXPECT_EQ(0, seen.calls);
}

TEST_F(Router, EmptyTablesSendEverythingToTheirDefault)
{
    MessageTable none = {0, NULL, WindowDefault, NULL};
    EXPECT_EQ(TRUE, RouteMessage(&none, plain, WM_SETTEXT, 0, (LPARAM) "empty"));
    EXPECT_EQ("empty", PlainText());
    // A negative count means no entries too, not a huge unsigned one.
    MessageTable negative = {-1, messageEntries, WindowDefault, NULL};
    EXPECT_EQ(TRUE, RouteMessage(&negative, plain, WM_SETTEXT, 0, (LPARAM) "negative"));
    EXPECT_EQ("negative", PlainText());
    CommandTable noCommands = {0, NULL, NoDefault};
    EXPECT_EQ(0, RouteCommand(&noCommands, plain, 105, 0));
    EXPECT_EQ(0, seen.calls);
}

TEST_F(Router, CommandCarriesItsNotificationCodeAndMatchesOnTheLowWord)
{
    CommandTable table = MakeCommandTable(commandEntries, NoDefault);
    EXPECT_EQ(77, RouteCommand(&table, plain, MAKEWPARAM(105, EN_CHANGE), 4242));
    EXPECT_EQ(1, seen.calls);
    EXPECT_EQ(plain, seen.window);
    EXPECT_EQ(WORD(105), seen.controlId);
    EXPECT_EQ(WORD(EN_CHANGE), seen.notifyCode);
    EXPECT_EQ(LPARAM(4242), seen.lParam);
}

TEST_F(Router, UnmatchedCommandReachesTheDefaultAsTheWholeCommand)
{
    CommandTable dialogTable = MakeCommandTable(commandEntries, NoDefault);
    EXPECT_EQ(0, RouteCommand(&dialogTable, plain, MAKEWPARAM(199, EN_SETFOCUS), 9));
    EXPECT_EQ(0, seen.calls);

    CommandTable table = MakeCommandTable(commandEntries, DialogDefault);
    RouteCommand(&table, dialog, MAKEWPARAM(999, 5), 31337);
    EXPECT_EQ(1, seen.calls);
    EXPECT_EQ(UINT(WM_COMMAND), seen.message);
    EXPECT_EQ(WPARAM(MAKEWPARAM(999, 5)), seen.wParam);
    EXPECT_EQ(LPARAM(31337), seen.lParam);
}

TEST_F(Router, MessageTableRoutesCommandsThroughTheCommandTable)
{
    static const CommandTable commands = MakeCommandTable(commandEntries, NoDefault);
    MessageTable table = MakeMessageTable(messageEntries, NoDefault, &commands);
    EXPECT_EQ(77, RouteMessage(&table, plain, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0));
    EXPECT_EQ(WORD(1), seen.controlId);
    EXPECT_EQ(0, RouteMessage(&table, plain, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0));
    EXPECT_EQ(1, seen.calls);
}
