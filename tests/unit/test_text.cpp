// Pure: also built natively, under the sanitizers (tests/native).
#include "base/text.h"
#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>
#include <string>

namespace {

// A buffer followed by guard bytes that no helper may touch.
struct Guarded {
    char text[8];
    char guard[8];
    Guarded() { memset(this, '#', sizeof *this); }
    bool GuardIntact() const { return memcmp(guard, "########", 8) == 0; }
};

} // namespace

TEST(BoundedText, CopyAndAppendReportWhetherTheTextFitAndCutOverlongTextTerminated)
{
    Guarded b;
    EXPECT_FALSE(AppendText(b.text, "x")) << "no terminator inside: refused";
    EXPECT_EQ('\0', b.text[7]) << "and terminated";
    EXPECT_TRUE(CopyText(b.text, "1234567"));
    EXPECT_STREQ("1234567", b.text);
    EXPECT_FALSE(AppendText(b.text, "8"));
    EXPECT_STREQ("1234567", b.text);
    EXPECT_TRUE(CopyText(b.text, "abc"));
    EXPECT_TRUE(AppendText(b.text, "defg"));
    EXPECT_STREQ("abcdefg", b.text);
    EXPECT_TRUE(AppendText(b.text, ""));
    EXPECT_FALSE(CopyText(b.text, "far too long for eight"));
    EXPECT_STREQ("far too", b.text);
    EXPECT_TRUE(CopyText(b.text, "ab"));
    EXPECT_FALSE(AppendText(b.text, "cdefghij"));
    EXPECT_STREQ("abcdefg", b.text);
    EXPECT_TRUE(b.GuardIntact());
}

TEST(BoundedText, FormatFillsNumbersAndTextsAndCutsAtTheEnd)
{
    char out[64];
    EXPECT_TRUE(FormatText(out, "%s was successfully installed", "Pictavo"));
    EXPECT_STREQ("Pictavo was successfully installed", out);
    EXPECT_TRUE(FormatText(out, "%d|%u|%lu|%x|%c|%%|%d", -42, 4000000000u, 614ul, 0xBEEFu, 'Z', 0));
    EXPECT_STREQ("-42|4000000000|614|beef|Z|%|0", out);
    EXPECT_TRUE(FormatText(out, "%d", (int)0x80000000));
    EXPECT_STREQ("-2147483648", out);

    Guarded b;
    EXPECT_FALSE(FormatText(b.text, "FROM: %s  TO: %s", "C:\\temp\\x", "D:\\y"));
    EXPECT_STREQ("FROM: C", b.text);
    EXPECT_TRUE(b.GuardIntact());
}

// A long has 32 bits under Windows and 64 in the native build: the extremes
// of either print whole, and the most negative one is turned positive
// without a signed overflow, which the native build's UBSan would report.
TEST(BoundedText, FormatPrintsTheExtremesOfALong)
{
    char out[64];
    EXPECT_TRUE(FormatText(out, "%ld|%lu|%lx", LONG_MIN, ULONG_MAX, ULONG_MAX));
    std::string hex(sizeof(unsigned long) * 2, 'f');
    EXPECT_EQ(std::to_string(LONG_MIN) + "|" + std::to_string(ULONG_MAX) + "|" + hex, out);
}
