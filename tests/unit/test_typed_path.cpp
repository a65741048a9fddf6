// Pure: also built natively, under the sanitizers (tests/native).
#include "plan/typed_path.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

// Both outputs start as a pattern that no parse writes, so that a refused
// text can be checked to have left every byte alone.
class ParseTyped : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(base, 'q', sizeof base);
        memset(product, 'q', sizeof product);
        base[PathSize - 1] = product[PathSize - 1] = '\0';
    }
    bool Untouched() const
    {
        const std::string pattern(PathSize - 1, 'q');
        return base == pattern && product == pattern;
    }

    char base[PathSize];
    char product[PathSize];
};

} // namespace

TEST_F(ParseTyped, TakenTextsSplitAtTheLastBackslashAndARootKeepsItsOwn)
{
    struct Case {
        const char* typed;
        const char* base;
        const char* product;
    } cases[] = {
        {"z:\\Pictavo", "z:\\", "Pictavo"},
        {"C:\\Apps\\Paint\\Pictavo 2\\\\", "C:\\Apps\\Paint", "Pictavo 2"},
        {"C:\\a", "C:\\", "a"},
        {"d:\\.hidden\\x.y z", "d:\\.hidden", "x.y z"},
        {"Q:\\ lead\\~1\\#%&()", "Q:\\ lead\\~1", "#%&()"},
        {"C:\\Console\\COM10\\LPT", "C:\\Console\\COM10", "LPT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_EQ(TypedTaken, ParseTypedDestination(c.typed, base, product));
        EXPECT_STREQ(c.base, base);
        EXPECT_STREQ(c.product, product);
    }
}

TEST_F(ParseTyped, RefusedTextsLeaveEveryByteOfBothOutputs)
{
    const struct {
        const char* typed;
        TypedDestination result;
    } cases[] = {
        {"", TypedNotAbsolute}, {"C:", TypedNotAbsolute}, {"C:Pictavo", TypedNotAbsolute},
        {"Pictavo", TypedNotAbsolute}, {"\\Pictavo", TypedNotAbsolute}, {"1:\\x", TypedNotAbsolute},
        {"D:\\", TypedInvalid}, {"D:\\a<b", TypedInvalid}, {"D:\\a:b", TypedInvalid}, {"D:\\a/b", TypedInvalid},
        {"D:\\tab\there", TypedInvalid}, {"D:\\what?", TypedInvalid},
        {"\\\\server\\share", TypedNotAbsolute}, {"@:\\x", TypedNotAbsolute}, {"[:\\x", TypedNotAbsolute},
        {"C:\\\\\\", TypedInvalid}, {"C:\\a\\\\b", TypedInvalid}, {"C:\\a\\b.", TypedInvalid},
        {"C:\\a \\b", TypedInvalid}, {"C:\\a\\b|c", TypedInvalid}, {"C:\\a\x7f\x01", TypedInvalid},
        {"C:\\a\\\"b\"", TypedInvalid}, {"C:\\a*", TypedInvalid},
        {"C:\\Program files\\..\\Windows", TypedInvalid}, {"C:\\a\\.\\b", TypedInvalid},
        {"C:\\CON", TypedInvalid}, {"C:\\a\\nul.txt\\b", TypedInvalid}, {"C:\\Com1 .x", TypedInvalid},
        {"C:\\lpt9", TypedInvalid}, {"C:\\COM\xb9", TypedInvalid}, {"C:\\conout$", TypedInvalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(c.result, ParseTypedDestination(c.typed, base, product));
        EXPECT_TRUE(Untouched());
    }
}

// 511 characters and the terminator fill the parser's own buffer exactly.
TEST_F(ParseTyped, TextsOfUpTo511CharactersAreTakenAndLongerOnesRefusedWhole)
{
    std::string longest = "C:\\" + std::string(508, 'a');
    ASSERT_EQ(TypedTaken, ParseTypedDestination(longest.c_str(), base, product));
    EXPECT_STREQ("C:\\", base);
    EXPECT_EQ(std::string(508, 'a'), product);

    std::string split = "C:\\" + std::string(255, 'b') + "\\" + std::string(252, 'p');
    ASSERT_EQ(511u, split.size());
    ASSERT_EQ(TypedTaken, ParseTypedDestination(split.c_str(), base, product));
    EXPECT_EQ("C:\\" + std::string(255, 'b'), base);
    EXPECT_EQ(std::string(252, 'p'), product);

    std::string trailing = "C:\\" + std::string(507, 'c') + "\\";
    ASSERT_EQ(TypedTaken, ParseTypedDestination(trailing.c_str(), base, product));
    EXPECT_EQ(std::string(507, 'c'), product);

    SetUp();
    EXPECT_EQ(TypedInvalid, ParseTypedDestination(("C:\\" + std::string(507, 'd') + "?").c_str(), base, product))
        << "511 characters with a bad one are invalid, not too long";
    const size_t tooLong[] = {512, 513, 4096};
    for (size_t size : tooLong) {
        std::string typed = "C:\\" + std::string(size - 4, 'e') + "\\";
        EXPECT_EQ(TypedTooLong, ParseTypedDestination(typed.c_str(), base, product)) << size;
    }
    EXPECT_TRUE(Untouched());
}
