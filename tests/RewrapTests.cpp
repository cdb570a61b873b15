#include <gtest/gtest.h>

#include <random>

#include "rewrap/RewrapMail.h"
#include "rewrap/WrapLine.h"
#include "tests/RewrapRules.h"
#include "tests/TestText.h"

namespace {

struct WrapCase {
    std::string text;
    int32_t width;
    int32_t hardLimit;
    std::string prefix;
    std::string expected;
    std::string breaks = " \t";
    std::string newline = "\r\n";
};

const WrapCase WrapCases[] = {
    {"aaa bbb ccc ddd", 8, 998, "", "aaa bbb\r\nccc ddd"},
    {"> aaa bbb ccc ddd", 10, 998, "> ", "> aaa bbb\r\n> ccc ddd"},
    {"aaaaaaaaaaaa bb", 8, 998, "", "aaaaaaaaaaaa\r\nbb"},
    {"aaaaaaaaaaaaaaaa", 4, 10, "", "aaaaaaaaaa\r\naaaaaa\r\n"},
    {"aaaaaaaaaaaaaaaa", 4, -1, "", "aaaa\r\naaaa\r\naaaa\r\naaaa"},
    {"aaaaaaaaaaaaaaaa", 4, 0, "", "aaaaaaaaaaaaaaaa\r\n"},
    {"> aaaaaaaaaaaaaaaaaaaa", 5, 8, "> ", "> aaaaaa\r\n> aaaaaa\r\n> aaaaaa\r\n> aa"},
    {"aaaaaaa bbbb", 10, 5, "", "aaaaaaa\r\nbbbb"},
    {"aaa\tbbb ccc", 5, 998, "", "aaa\t\r\nbbb\r\nccc"},
    {"aaaa \tbbbbb", 5, 998, "", "aaaa\r\n\t\r\nbbbbb"},
    {"aaa   bbb", 4, 998, "", "aaa\r\nbbb"},
    {"aaa bbb    ", 5, 998, "", "aaa\r\nbbb\r\n"},
    {"> aaaaaaaa", 5, 998, "> ", "> aaaaaaaa\r\n"},
    {"> aaaaaaaa", 5, 998, "", ">\r\naaaaaaaa\r\n"},
    {"aaaaa", 5, 998, "", "aaaaa"},
    {"abcdef", 2, 998, "> ", "abcdef"},
    {"", 5, 998, "", ""},
    {"aaaa bbbb", 5, 998, "", "aaaa bbbb\r\n", ""},
    {"ab cd ef", 6, 998, "", "ab cd~ef", " \t", "~"},
    // Empty breaks: cut at the width, at the limit, or not at all.
    {"aaaa bbbb", 5, -1, "", "aaaa\r\nbbbb", ""},
    {"aaaa bbbb", 5, 3, "", "aaa\r\na b\r\nbbb", ""},
    // Only spaces follow the cut: the rest is empty and the result ends with the line end.
    {"aaa      ", 4, 998, "", "aaa\r\n"},
    // A tab at the start of the rest stays, behind the prefix.
    {"> aa bb\tcc", 8, 998, "> ", "> aa bb\t\r\n> cc"},
    // A limit at or inside the prefix is not applied: the piece runs to the next break.
    {">>>>aaaaaaaaaa bb", 6, 3, ">>>>", ">>>>aaaaaaaaaa\r\n>>>>bb"},
    {">>>>aaaaaaaaaa bb", 6, 4, ">>>>", ">>>>aaaaaaaaaa\r\n>>>>bb"},
    {">>>>aaaaaaaaaa bb", 6, 5, ">>>>", ">>>>a\r\n>>>>a\r\n>>>>a\r\n>>>>a\r\n>>>>a\r\n"
                                        ">>>>a\r\n>>>>a\r\n>>>>a\r\n>>>>a\r\n>>>>a\r\n>>>>bb"},
    // A CR or LF is an ordinary character here.
    {"ab\ncd ef", 6, 998, "", "ab\ncd\r\nef"},
};

TEST(WrapLine, Table) {
    for (const WrapCase& c : WrapCases) {
        const std::u16string got =
            WrapLine(U(c.text), c.width, c.hardLimit, U(c.breaks), U(c.newline), U(c.prefix));
        EXPECT_EQ(A(got), A(U(c.expected)))
            << "text «" << c.text << "» width " << c.width << " hardLimit " << c.hardLimit;
    }
}

TEST(WrapLine, HardLimitKeepsCharactersAboveBmpWhole) {
    // 997 letters and an emoji: a cut after unit 998 would split the emoji's pair.
    std::u16string text = U(Repeat("z", 997)) + u"\U0001F600" + U(Repeat("z", 10));
    const std::u16string got = WrapLine(text, 70, 998, u" \t", u"\r\n", u"");
    EXPECT_EQ(got, U(Repeat("z", 997)) + u"\r\n" + u"\U0001F600" + U(Repeat("z", 10)));
}

TEST(WrapLine, EndsOnLimitsInsideLongPrefixes) {
    // Prefixes longer than the hard limit would otherwise never get shorter.
    const std::u16string prefix = U(Repeat(">", 1200));
    const std::u16string text = prefix + U(Repeat("x", 80) + " " + Repeat("y", 80));
    const std::u16string got = WrapLine(text, 1270, 998, u" \t", u"\r\n", prefix);
    EXPECT_EQ(got, prefix + U(Repeat("x", 80)) + u"\r\n" + prefix + U(Repeat("y", 80)) + u"\r\n");
}

TEST(FindFirstNotOf, Positions) {
    EXPECT_EQ(FindFirstNotOf(u">> hi", QuoteChars, 1), 4);
    EXPECT_EQ(FindFirstNotOf(u">> hi", QuoteChars, 5), 5);
    EXPECT_EQ(FindFirstNotOf(u">>> ", QuoteChars, 1), 0);
    EXPECT_EQ(FindFirstNotOf(u"", QuoteChars, 1), 0);
    EXPECT_EQ(FindFirstNotOf(u"abc", QuoteChars, 0), 0);
    EXPECT_EQ(FindFirstNotOf(u"abc", QuoteChars, -3), 0);
    EXPECT_EQ(FindFirstNotOf(u"abc", QuoteChars, 4), 0);
    EXPECT_EQ(FindFirstNotOf(u"abc", u"", 3), 3);
    EXPECT_EQ(FindFirstNotOf(u"abc", u"", 1), 1);
}

struct MailCase {
    std::string text;
    std::string expected;
};

std::string Words(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += (i ? " abcd" : "abcd");
    return s;
}

const std::string Six = [] {
    std::string s;
    for (int i = 0; i < 6; ++i) s += (i ? "\rabcd efgh ijkl" : "abcd efgh ijkl");
    return s;
}();

const MailCase MailCases[] = {
    {"", ""},
    {"abc\n", "abc\r\n"},
    {"one\ntwo", "one\r\ntwo"},
    {"one\r\ntwo\r\n", "one\r\ntwo\r\n"},
    {"one\r\r\ntwo", "one\r\ntwo"},
    {"abc\r", "abc"},
    {"one\rtwo", "one\rtwo"},
    {Words(15), Words(14) + "\r\nabcd"},
    {"> " + Words(15), "> " + Words(14) + "\r\n> abcd"},
    {"\t" + Words(15), "\t" + Words(14) + "\r\n\tabcd"},
    {"See " + Repeat("w", 80) + "\r\nNext", "See\r\n" + Repeat("w", 80) + "\r\n\r\nNext"},
    {">> See " + Repeat("w", 80), ">> See\r\n>> " + Repeat("w", 80) + "\r\n"},
    {Six, Six.substr(0, 69) + "\r\n" + "ijkl\rabcd efgh ijkl"},
    {Repeat(">", 69), Repeat(">", 69)},
    {Repeat(">", 70), Repeat(">", 70) + "\r\n"},
    {Repeat("x", 70), Repeat("x", 70)},
    {Repeat("x", 71), Repeat("x", 71) + "\r\n"},
    {Repeat(" ", 75), "\r\n"},
    {Repeat("z", 1000), Repeat("z", 998) + "\r\nzz"},
    {"> " + Repeat("z", 1000), "> " + Repeat("z", 996) + "\r\n> zzzz"},
    {Repeat("> ", 40), Repeat("> ", 40).substr(0, 67) + "\r\n" + "> > > > > > "},
    // A prefix longer than the hard limit: the line runs on whole.
    {Repeat(" ", 1200) + Repeat("q", 80), Repeat(" ", 1200) + Repeat("q", 80) + "\r\n"},
    // Only CRs: one line whose line end is all of it.
    {Repeat("\r", 5000), ""},
    {"a\n\n\nb\r\n", "a\r\n\r\n\r\nb\r\n"},
    {"|  | " + Words(15), "|  | " + Words(14) + "\r\n|  | abcd"},
};

TEST(RewrapMail, Table) {
    for (const MailCase& c : MailCases) {
        EXPECT_EQ(A(RewrapMail(U(c.text))), A(U(c.expected))) << "text «" << A(U(c.text)) << "»";
    }
}

TEST(RewrapMail, ChosenWidthAndLineEnd) {
    std::u16string out = u"kept ";
    AppendRewrappedMail(out, U("> aa bb cc\n" + Repeat(">", 6)), 5, u"\n");
    EXPECT_EQ(A(out), "kept > aa\\n> bb cc\\n>>>>>>\\n");
}

TEST(RewrapMail, EqualsInputExactlyWhenNothingNeedsWrapping) {
    std::mt19937 random(20261211);
    const std::u16string pieces[] = {u"a", u"bb", u" ", u"\t", u">", u"|", u"\r", u"x", u"y"};
    const std::u16string ends[] = {u"\r\n", u"\r\n", u"\r\n", u"\n", u"\r\r\n", u"\r"};
    int equalSeen = 0, differentSeen = 0;
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        const int lines = std::uniform_int_distribution<int>(1, 4)(random);
        for (int l = 0; l < lines; ++l) {
            if (l > 0) text += ends[random() % std::size(ends)];
            // Lengths around the width, where the decision is made.
            const int len = std::uniform_int_distribution<int>(0, 80)(random);
            const bool quoteOnly = random() % 8 == 0;
            while (static_cast<int>(text.size()) < len + static_cast<int>(text.rfind(u'\n') + 1)) {
                text += quoteOnly ? pieces[2 + random() % 4] : pieces[random() % std::size(pieces)];
            }
        }
        if (random() % 4 == 0) text += u"\r\n";
        const bool expectEqual = NeedsNoRewrap(text);
        (expectEqual ? equalSeen : differentSeen)++;
        ASSERT_EQ(RewrapMail(text) == text, expectEqual) << "text «" << A(text) << "»";
    }
    // The generator must exercise both sides of the rule.
    EXPECT_GT(equalSeen, 1000);
    EXPECT_GT(differentSeen, 1000);
}

TEST(RewrapMail, LargePathologicalShapesKeepEveryCharacter) {
    // Shapes that a naive remainder copy turns quadratic; here they check
    // that nothing but spaces, prefixes and line ends changes.
    const std::string shapes[] = {
        Repeat("word ", 400000),
        Repeat("x", 2000000),
        Repeat("> ", 1000000),
        Repeat(">", 5000) + Repeat("y", 100000) + " " + Repeat("y", 10),
        Repeat("\r", 1000000) + "tail",
    };
    for (const std::string& s : shapes) {
        const std::u16string in = U(s);
        const std::u16string out = RewrapMail(in);
        auto strip = [](std::u16string_view t) {
            std::u16string kept;
            for (char16_t c : t) {
                if (std::u16string_view(u" \t>|\r\n").find(c) == std::u16string_view::npos) {
                    kept += c;
                }
            }
            return kept;
        };
        EXPECT_EQ(strip(out), strip(in));
    }
}

} // namespace
