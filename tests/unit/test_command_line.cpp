// The command line as whoever starts Setup may write it, hostile included.
#include "base/command_line.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

struct Read {
    ArgumentsResult result;
    SetupArguments arguments;
};

Read ReadLine(const std::string& line)
{
    Read read;
    memset(&read.arguments, 'x', sizeof read.arguments);
    read.result = ReadArguments(line.c_str(), read.arguments);
    return read;
}

} // namespace

TEST(CommandLine, SwitchesEitherCaseAndADestinationWithBlanksLastOnTheLine)
{
    const struct {
        const char *line, *why;
        bool silent;
        const char *folder, *destination;
    } cases[] = {
        {"/S  /G=Graphics\\Tools /D=C:\\My Programs\\Pictavo Editor  ", "trailing blanks are no name's", true,
         "Graphics\\Tools", "C:\\My Programs\\Pictavo Editor"},
        {"/d=D:\\x /S", "all after /D= is the path", false, "", "D:\\x /S"},
        {"/s\t/g=\"Pictavo Apps\\Graphics\"", "quotes around the folder", true, "Pictavo Apps\\Graphics", ""},
        {"   ", "blanks alone", false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Read read = ReadLine(c.line);
        ASSERT_EQ(ArgumentsRead, read.result);
        EXPECT_EQ(c.silent, read.arguments.silent);
        EXPECT_STREQ(c.folder, read.arguments.startMenuFolder);
        EXPECT_STREQ(c.destination, read.arguments.destination);
    }
}

// What a script's argument list becomes on the line: every program that
// builds one quotes an argument with a blank whole; people quote the value.
TEST(CommandLine, QuotedValuesInBothFormsReadAsUnquotedAndTheQuotesAreNoPartOfThem)
{
    struct Case {
        const char* line;
        const char* destination;
        const char* folder;
        const char* log;
    } cases[] = {
        {"/S \"/D=C:\\Deploy Here\\Pictavo\"", "C:\\Deploy Here\\Pictavo", "", ""},
        {"/S /D=\"C:\\Deploy Here\\Pictavo\"", "C:\\Deploy Here\\Pictavo", "", ""},
        {"\"/d=C:\\a b\" /s \"/g=Graphics Tools\"", "C:\\a b", "Graphics Tools", ""},
        {"/D=\"C:\\a b\"\t/LOG=\"C:\\logs\\run one.txt\" /G=X", "C:\\a b", "X", "C:\\logs\\run one.txt"},
        {"\"/LOG=C:\\l g.txt\" /log=C:\\l.txt /D=C:\\x", "C:\\x", "", "C:\\l.txt"},
        {"\"/S\" \"/?\"", "", "", ""},
    };
    for (const Case& c : cases) {
        Read read = ReadLine(c.line);
        ASSERT_EQ(ArgumentsRead, read.result) << c.line;
        EXPECT_STREQ(c.destination, read.arguments.destination) << c.line;
        EXPECT_STREQ(c.folder, read.arguments.startMenuFolder) << c.line;
        EXPECT_STREQ(c.log, read.arguments.logPath) << c.line;
    }
    EXPECT_TRUE(ReadLine("\"/S\" \"/?\"").arguments.help);
    EXPECT_TRUE(ReadLine("/s /? /D=C:\\x").arguments.help);
    EXPECT_FALSE(ReadLine("/S /D=C:\\x").arguments.help);

    // A quote that does not close, text right after a closing one, or a
    // quote inside a value is never guessed at: nothing of the line stays.
    for (const char* line : {"/S \"/D=C:\\a b", "/S /D=\"C:\\a b", "/D=\"C:\\a\"b", "\"/D=C:\\a\"b",
                             "/D=C:\\a \"b\"", "/D=\"C:\\a b\"\"", "/LOG=\"C:\\l", "\"/S\"x", "/LOG=C:\\l\"",
                             "\"\" /S", "/LOG=", "/LOG=\"\"", "\"/D=\"", "/G=\"a\"\"b\"", "/S /LOG=C:\\l.txt \""}) {
        Read read = ReadLine(line);
        EXPECT_EQ(ArgumentsMalformed, read.result) << line;
        EXPECT_STREQ("", read.arguments.destination) << line;
        EXPECT_STREQ("", read.arguments.logPath) << line;
        EXPECT_FALSE(read.arguments.help) << line;
    }
    EXPECT_TRUE(ReadLine("/S /D=\"C:\\a b").arguments.silent);
}

TEST(CommandLine, UnknownSwitchesAreNamedAndNothingOfTheLineIsKept)
{
    for (const char* line : {"/S /X /D=C:\\a", "/Sx", "/D", "/G=a b", "C:\\Pictavo", "-S"}) {
        Read read = ReadLine(line);
        EXPECT_EQ(ArgumentsUnknown, read.result) << line;
        EXPECT_STREQ("", read.arguments.destination) << line;
        EXPECT_STREQ("", read.arguments.startMenuFolder) << line;
    }
    Read read = ReadLine("/S /G=a /Quiet /D=C:\\a");
    EXPECT_STREQ("/Quiet", read.arguments.unknownSwitch);
    EXPECT_TRUE(read.arguments.silent) << "a refused line still says whether to stay silent";
    EXPECT_STREQ("b", ReadLine("/G=a b").arguments.unknownSwitch);
    EXPECT_STREQ("/X=a b", ReadLine("/S \"/X=a b\" /D=C:\\a").arguments.unknownSwitch);
    EXPECT_STREQ("/LOGS=x", ReadLine("/? /LOGS=x").arguments.unknownSwitch);
    EXPECT_FALSE(ReadLine("/? /LOGS=x").arguments.help) << "a refused line shows the refusal, not the usage";

    // A switch longer than any message shows is shortened there, visibly.
    read = ReadLine("/" + std::string(5000, 'Z'));
    EXPECT_EQ(ArgumentsUnknown, read.result);
    EXPECT_EQ(SwitchShownSize - 1, (int)strlen(read.arguments.unknownSwitch));
    EXPECT_STREQ("...", read.arguments.unknownSwitch + SwitchShownSize - 4);
}

TEST(CommandLine, PastItsBoundsALineOrAFolderIsRefusedWholeNeverCut)
{
    std::string longest(PathSize - 1 - 3, 'a');
    Read read = ReadLine("/D=C:\\" + longest);
    ASSERT_EQ(ArgumentsRead, read.result);
    EXPECT_EQ(PathSize - 1, (int)strlen(read.arguments.destination));

    read = ReadLine("/S /D=C:\\" + longest + "b");
    EXPECT_EQ(ArgumentsTooLong, read.result);
    EXPECT_STREQ("", read.arguments.destination);
    EXPECT_TRUE(read.arguments.silent);
    EXPECT_EQ(ArgumentsTooLong, ReadLine("/G=" + std::string(PathSize, 'g')).result);
    EXPECT_EQ(ArgumentsRead, ReadLine("/G=" + std::string(PathSize - 1, 'g')).result);
    EXPECT_EQ(ArgumentsTooLong, ReadLine("\"/LOG=C:\\" + std::string(PathSize - 3, 'l') + "\"").result);

    // Every switch at its longest, each quoted, fits within the line.
    std::string longestLine = "/S /? \"/LOG=C:\\" + std::string(PathSize - 4, 'l') + "\" /G=\"" +
                              std::string(PathSize - 1, 'g') + "\" \"/D=C:\\" + longest + "\"";
    read = ReadLine(longestLine);
    ASSERT_EQ(ArgumentsRead, read.result);
    EXPECT_EQ(PathSize - 1, (int)strlen(read.arguments.logPath));
    EXPECT_EQ(PathSize - 1, (int)strlen(read.arguments.destination));

    // The line's own bound: blanks count, and a valid switch after the
    // bound is never reached.
    std::string filler(CommandLineLimit - 2, ' ');
    EXPECT_EQ(ArgumentsRead, ReadLine("/S" + filler).result);
    read = ReadLine("/S" + filler + " /D=C:\\x");
    EXPECT_EQ(ArgumentsTooLong, read.result);
    EXPECT_TRUE(read.arguments.silent);
    EXPECT_STREQ("", read.arguments.destination);
    EXPECT_EQ(ArgumentsTooLong, ReadLine("/S /D=C:\\" + std::string(100000, 'a')).result);
}

TEST(CommandLine, EmptyOrEscapingFoldersAreRefused)
{
    for (const char* line : {"/D=", "/S /D=   ", "/G=", "/G=\"\"", "/G=..\\Evil", "/G=a\\..\\..\\b", "/G=C:\\Abs",
                             "/G=\\Abs", "/G=a\\", "/G=a|b", "/G=\"open", "/G=\"a\"b", "/G=trailing.", "/S /G=. /D=C:\\a"}) {
        Read read = ReadLine(line);
        EXPECT_EQ(ArgumentsMalformed, read.result) << line;
        EXPECT_STREQ("", read.arguments.destination) << line;
        EXPECT_STREQ("", read.arguments.startMenuFolder) << line;
    }
}

// /DOWNGRADE is a flag like /S, in either case; a refused line keeps none
// of it, so that a mistyped line never lets a newer installation go.
TEST(CommandLine, DowngradeIsAFlagThatARefusedLineDoesNotKeep)
{
    Read read = ReadLine("/downgrade /S /D=C:\\Pictavo");
    ASSERT_EQ(ArgumentsRead, read.result);
    EXPECT_TRUE(read.arguments.downgrade);
    EXPECT_STREQ("C:\\Pictavo", read.arguments.destination);
    EXPECT_FALSE(ReadLine("/S").arguments.downgrade);
    for (const char* line : {"/DOWNGRADE /X", "/DOWNGRADE /G=..\\x", "/DOWNGRADEX"}) {
        read = ReadLine(line);
        EXPECT_NE(ArgumentsRead, read.result) << line;
        EXPECT_FALSE(read.arguments.downgrade) << line;
    }
}
