// The Agreement page, driven with real keys and clicks.
#include "flows.h"
#include "page_checks.h"
#include <gtest/gtest.h>

using namespace e2e;

// Escape asks, No keeps the page where the user scrolled, Enter agrees.
TEST(AgreementPage, ShowsTheWholeAgreementReadOnlyOverTheLogoThenEscapeAsksAndEnterAgrees)
{
    Installer setup;
    HWND page = WaitAgreementPage(setup);
    HWND text = setup.Control(page, 199, "text box");
    Screen screen;
    setup.Shot("agreement-page", &screen);
    ExpectCentred(page, screen);
    ExpectLogoAtTopLeft(page, screen);
    EXPECT_EQ(0, CountInside(text, screen, RGB(0, 255, 0))) << "no page colours in the text box";
    EXPECT_EQ(0, CountInside(text, screen, RGB(0, 0, 136)));
    int systemBackground = CountInside(text, screen, GetSysColor(COLOR_WINDOW)) +
                           CountInside(text, screen, GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(systemBackground, 10000) << "the text box keeps the system's background";
    EXPECT_GT(CountInside(text, screen, GetSysColor(COLOR_WINDOWTEXT)), 500) << "and its text colour";

    std::string agreement = InstallerResources().String(189);
    EXPECT_GT(agreement.size(), 4000u);
    EXPECT_NE(std::string::npos, agreement.find("\r\n\r\n")) << "paragraphs apart, CR LF breaks";
    EXPECT_EQ(agreement, Text(text)) << "the whole agreement is shown";

    setup.Click(text, "click into the text");
    setup.Type(text, "xyz", "type into the text");
    setup.Key(text, "Delete", "delete in the text");
    setup.Key(text, "BackSpace", "backspace in the text");
    EXPECT_EQ(agreement, Text(text)) << "the text cannot be changed";

    for (int i = 0; i < 3; ++i)
        setup.Key(text, "Next", "page down in the text");
    LRESULT firstLine = SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(firstLine, 10) << "the text scrolled";
    setup.Key(page, "Escape", "Escape on the agreement");
    MessageBoxInfo question = setup.WaitMessageBox("Pictavo - Setup", "cancel question");
    EXPECT_EQ("Are you sure you want to cancel the setup?", question.text);
    EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), question.buttons);
    setup.Shot("cancel-question");
    setup.Answer(question, "No", "keep the page");
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(firstLine, SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0)) << "scroll position kept";

    // The Cancel button and Yes end the run on the Shell suite's pages.
    setup.Key(page, "Return", "Enter presses I Agree");
    setup.WaitGone(page, "agreement page closes");
    CancelSetup(setup, WaitDestinationPage(setup));
}
