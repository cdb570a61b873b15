#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/wait.h>

#include "cli/Filter.h"
#include "cli/Utf.h"
#include "rewrap/RewrapMail.h"
#include "tests/TestText.h"

namespace {

struct WrapRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the real filter on `input`, as a shell would: input from a file (or a
// pipe with `viaPipe`), output and errors to files.
WrapRun RunWrap(const std::string& args, const std::string& input, bool viaPipe = false) {
    char dir[] = "/tmp/ostrel-filter-XXXXXX";
    EXPECT_NE(mkdtemp(dir), nullptr);
    const std::string d = dir;
    std::ofstream(d + "/in", std::ios::binary) << input;
    const std::string wrap = OSTREL_WRAP_PATH;
    const std::string cmd =
        viaPipe ? "cat " + d + "/in | " + wrap + " " + args + " >" + d + "/out 2>" + d + "/err"
                : wrap + " " + args + " <" + d + "/in >" + d + "/out 2>" + d + "/err";
    WrapRun run;
    const int raw = std::system(cmd.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFile(d + "/out");
    run.err = ReadFile(d + "/err");
    std::system(("rm -rf " + d).c_str());
    return run;
}

std::u16string Repeat16(std::u16string_view s, size_t n) {
    std::u16string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

std::string Utf16le(std::u16string_view text) { return Utf16ToUtf16leString(text); }
std::string Utf8(std::u16string_view text) { return Utf16ToUtf8String(text); }

TEST(Filter, PassesShortTextUnchanged) {
    const WrapRun run = RunWrap("", "aaa bbb");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "aaa bbb");
    EXPECT_EQ(run.err, "");
}

TEST(Filter, CountsWidthInUtf16CodeUnits) {
    // 70 umlauts are 140 bytes but 70 units: they fit. 36 emoji are 72 units: they do not.
    const std::string umlauts = Repeat("\xC3\xA4", 70);
    EXPECT_EQ(RunWrap("", umlauts).out, umlauts);
    const std::string emoji = Repeat("\xF0\x9F\x98\x80", 36);
    EXPECT_EQ(RunWrap("", emoji).out, emoji + "\r\n");
}

TEST(Filter, MailTableHoldsThroughUtf16le) {
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},
        {"abc\n", "abc\r\n"},
        {"one\ntwo", "one\r\ntwo"},
        {"one\r\ntwo\r\n", "one\r\ntwo\r\n"},
        {"one\r\r\ntwo", "one\r\ntwo"},
        {"abc\r", "abc"},
        {"one\rtwo", "one\rtwo"},
        {Repeat(">", 70), Repeat(">", 70) + "\r\n"},
        {Repeat("x", 71), Repeat("x", 71) + "\r\n"},
        {Repeat(" ", 75), "\r\n"},
        {Repeat("z", 1000), Repeat("z", 998) + "\r\nzz"},
        {"> " + Repeat("z", 1000), "> " + Repeat("z", 996) + "\r\n> zzzz"},
        {"See " + Repeat("w", 80) + "\r\nNext", "See\r\n" + Repeat("w", 80) + "\r\n\r\nNext"},
        {Repeat("> ", 40), Repeat("> ", 40).substr(0, 67) + "\r\n> > > > > > "},
    };
    for (const auto& [in, expected] : rows) {
        const WrapRun run = RunWrap("--utf16le", Utf16le(U(in)));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, Utf16le(U(expected))) << "text «" << A(U(in)) << "»";
    }
}

TEST(Filter, LineTableRowsHoldWhereTheLineIsAMail) {
    // Rows of the line wrapper whose prefix is the line's own quote prefix and
    // whose limit is 998 are mail lines at the width minus the prefix.
    struct Row {
        std::string text;
        int width;
        std::string expected;
    };
    const Row rows[] = {
        {"aaa bbb ccc ddd", 8, "aaa bbb\r\nccc ddd"},
        {"> aaa bbb ccc ddd", 8, "> aaa bbb\r\n> ccc ddd"},
        {"aaaaaaaaaaaa bb", 8, "aaaaaaaaaaaa\r\nbb"},
        {"aaa\tbbb ccc", 5, "aaa\t\r\nbbb\r\nccc"},
        {"aaaa \tbbbbb", 5, "aaaa\r\n\t\r\nbbbbb"},
        {"aaa   bbb", 4, "aaa\r\nbbb"},
        {"aaa bbb    ", 5, "aaa\r\nbbb\r\n"},
        {"> aaaaaaaa", 3, "> aaaaaaaa\r\n"},
        {"aaaaa", 5, "aaaaa"},
    };
    for (const Row& row : rows) {
        const WrapRun run =
            RunWrap("--utf16le --width " + std::to_string(row.width), Utf16le(U(row.text)));
        EXPECT_EQ(run.out, Utf16le(U(row.expected))) << "text «" << row.text << "»";
    }
}

TEST(Filter, Utf16leKeepsAnyCodeUnits) {
    const std::u16string odd = u"\xDC00 lone \xD800 surrogates\n\xFFFF";
    const WrapRun run = RunWrap("--utf16le", Utf16le(odd));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Utf16le(u"\xDC00 lone \xD800 surrogates\r\n\xFFFF"));
}

TEST(Filter, CheckTellsWithoutWriting) {
    const WrapRun same = RunWrap("--check", "one\r\ntwo\r\n");
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
    const WrapRun lf = RunWrap("--check", "one\ntwo\n");
    EXPECT_EQ(lf.status, 1);
    EXPECT_EQ(lf.out, "");
    EXPECT_EQ(RunWrap("--check --lf", "one\ntwo\n").status, 0);
    EXPECT_EQ(RunWrap("--check --lf", "one\r\ntwo\n").status, 1);
    EXPECT_EQ(RunWrap("--check --lf", Repeat("word ", 20) + "\n").status, 1);
}

TEST(Filter, LfAndWidthOptions) {
    EXPECT_EQ(RunWrap("--lf", "a b c d\r\n> e f g h").out, "a b c d\n> e f g h");
    EXPECT_EQ(RunWrap("--lf --width 4", "a b c d\r\n> e f g h").out, "a b\nc d\n> e f\n> g h");
    EXPECT_EQ(RunWrap("--width=4", "a b c d").out, "a b\r\nc d");
    const std::string line72 = Repeat("abcdefgh ", 8); // 72 units
    EXPECT_EQ(RunWrap("--width 72", line72.substr(0, 71)).out, line72.substr(0, 71));
    EXPECT_NE(RunWrap("", line72.substr(0, 71)).out, line72.substr(0, 71));
}

TEST(Filter, VersionAndHelp) {
    const WrapRun version = RunWrap("--version", "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "ostrel-wrap 1.00\n");
    const WrapRun help = RunWrap("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: ostrel-wrap"), std::string::npos);
}

TEST(Filter, RejectsBadInputWithOneLineAndNoOutput) {
    struct Bad {
        std::string args;
        std::string input;
        std::string message;
        bool usage;
    };
    const Bad cases[] = {
        {"", "abc\xFF", "ostrel-wrap: invalid UTF-8 at byte 3\n", false},
        {"", "ab\xC3", "ostrel-wrap: invalid UTF-8 at byte 2\n", false},
        {"", "ab\xC0\xAF", "ostrel-wrap: invalid UTF-8 at byte 2\n", false},       // overlong
        {"", "a\xED\xA0\x80", "ostrel-wrap: invalid UTF-8 at byte 1\n", false},    // surrogate
        {"", "\xF4\x90\x80\x80", "ostrel-wrap: invalid UTF-8 at byte 0\n", false}, // > U+10FFFF
        {"", "\xE2\x82x", "ostrel-wrap: invalid UTF-8 at byte 0\n", false},
        {"--utf16le", "abc", "ostrel-wrap: odd number of bytes in UTF-16LE input\n", false},
        {"--frobnicate", "", "ostrel-wrap: unknown option '--frobnicate'\n", true},
        {"--width 0", "", "ostrel-wrap: bad width '0' (a number from 1 to 998)\n", true},
        {"--width 999", "", "ostrel-wrap: bad width '999' (a number from 1 to 998)\n", true},
        {"--width x", "", "ostrel-wrap: bad width 'x' (a number from 1 to 998)\n", true},
        {"--width", "", "ostrel-wrap: --width needs a number from 1 to 998\n", true},
    };
    for (const Bad& bad : cases) {
        for (bool viaPipe : {false, true}) {
            const WrapRun run = RunWrap(bad.args, "line one\nline two\n" + bad.input, viaPipe);
            EXPECT_EQ(run.status, 2) << bad.args;
            EXPECT_EQ(run.out, "") << bad.args;
            const std::string first = run.err.substr(0, run.err.find('\n') + 1);
            if (bad.message.find("at byte") != std::string::npos) {
                // The offset counts the two good lines in front.
                const size_t at = std::stoul(bad.message.substr(bad.message.rfind(' ') + 1));
                EXPECT_EQ(first,
                          "ostrel-wrap: invalid UTF-8 at byte " + std::to_string(at + 18) + "\n");
            } else {
                EXPECT_EQ(first, bad.message);
            }
            EXPECT_EQ(run.err.find("usage:") != std::string::npos, bad.usage) << bad.args;
        }
    }
}

TEST(Filter, FailedWriteIsAnError) {
    const int raw = std::system(
        ("printf 'a b\\n' | " + std::string(OSTREL_WRAP_PATH) + " >/dev/full 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 2);
    // A line whose result is written while it is being made: the failure
    // comes in the middle of it.
    const std::string path = "/tmp/ostrel-filter-long-prefix";
    std::ofstream(path, std::ios::binary) << std::string(2000, '>') << Repeat("word ", 250'000);
    const int midLine = std::system(
        (std::string(OSTREL_WRAP_PATH) + " <" + path + " >/dev/full 2>" + path + ".err").c_str());
    EXPECT_EQ(WEXITSTATUS(midLine), 2);
    EXPECT_EQ(ReadFile(path + ".err"), "ostrel-wrap: write error: No space left on device\n");
    std::remove(path.c_str());
    std::remove((path + ".err").c_str());
}

TEST(Filter, LargeInputAcrossChunksMatchesTheEngine) {
    // Several read chunks, with multi-byte characters and CR LF pairs falling
    // on their edges, and long lines spanning them.
    std::u16string text;
    for (int i = 0; text.size() < 3'500'000; ++i) {
        text += u"> Zitat mit Umlauten \u00E4\u00F6\u00FC und \U0001F600 ";
        if (i % 7 == 0) text += u"\r\n";
        if (i % 50'000 == 0) text += std::u16string(300'000, u'q') + u"\n";
    }
    const std::u16string expected = RewrapMail(text);
    const WrapRun run = RunWrap("", Utf8(text), true);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out == Utf8(expected));
    const WrapRun run16 = RunWrap("--utf16le", Utf16le(text));
    EXPECT_TRUE(run16.out == Utf16le(expected));
}

TEST(Filter, LongPrefixesMatchTheEngine) {
    // Results thirty times their line, sent while the line is being made, and
    // a line UTF-8 cannot hold as the engine has it, between ordinary ones.
    std::u16string text = u"first line\r\n";
    text += std::u16string(2000, u'>') + Repeat16(u"word ", 400'000) + u"\r\n";
    text += std::u16string(997, u'>') + u"x" + Repeat16(u"\U0001F600", 40) + u" end\r\n";
    text += Repeat16(u"last line of words ", 10);
    const std::u16string expected = RewrapMail(text);
    const WrapRun run = RunWrap("", Utf8(text), true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out == Utf8(expected));
    const WrapRun run16 = RunWrap("--utf16le", Utf16le(text), true);
    EXPECT_EQ(run16.status, 0);
    EXPECT_TRUE(run16.out == Utf16le(expected));
    EXPECT_EQ(RunWrap("--check", Utf8(text)).status, 1);
    EXPECT_EQ(RunWrap("--check --utf16le", Utf16le(text)).status, 1);
    // Unchanged but for its very end, which the comparison reaches last.
    const std::string same = Repeat("short line\r\n", 200'000);
    EXPECT_EQ(RunWrap("--check", same).status, 0);
    EXPECT_EQ(RunWrap("--check", same + "\r").status, 1);
    EXPECT_EQ(RunWrap("--check --utf16le", Utf16le(U(same))).status, 0);
    EXPECT_EQ(RunWrap("--check --utf16le", Utf16le(U(same + "\r"))).status, 1);
}

TEST(Filter, FiftyMegabytesMatchTheEngine) {
    // Long paragraphs, quotes and a few runs without a space, 50 MB of them.
    std::u16string text;
    for (int i = 0; text.size() < 50'000'000; ++i) {
        text += (i % 3 == 0 ? u"> " : u"");
        for (int w = 0; w < 40 + i % 50; ++w) text += u"wrapped words ";
        text += i % 97 == 0 ? std::u16string(1500, u'z') : u"";
        text += i % 2 ? u"\r\n" : u"\n";
    }
    const WrapRun run = RunWrap("", Utf8(text), true);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out == Utf8(RewrapMail(text)));
}

// The UTF-8 engine must give, byte for byte, the UTF-8 form of what the
// UTF-16 engine gives, however characters of one to four bytes fall on the
// width, the hard limit and the quote prefix.
std::string Utf8Reference(std::u16string_view text, int32_t width, bool lf) {
    std::u16string out;
    AppendRewrappedMail(out, text, width, lf ? u"\n" : u"\r\n");
    return Utf8(out);
}

std::string Utf8Rewrapped(std::string_view text, int32_t width, bool lf) {
    std::string out;
    EXPECT_TRUE(AppendRewrappedUtf8Text(out, text, width, lf));
    return out;
}

TEST(Utf8Rewrap, MatchesTheUtf16EngineOnGeneratedTexts) {
    const std::u16string pieces[] = {u"word", u"\u00E4\u00DF", u"\u20AC", u"\U0001F600",
                                     u" ",    u"\t",           u">",      u"|",
                                     u"\r\n", u"\n",           u"\r",     u"\U0001F600 "};
    std::mt19937 random(2026);
    for (int round = 0; round < 3000; ++round) {
        std::u16string text;
        const int parts = static_cast<int>(random() % 60);
        for (int i = 0; i < parts; ++i) {
            switch (random() % 8) {
            case 0: // a run without a space, long enough for the hard limit
                text.append(random() % 1200, random() % 2 ? u'x' : u'\u00E9');
                break;
            case 1: { // a quote prefix, some of them as long as the hard limit allows
                const size_t lengths[] = {1, 2, 928, 996, 997, 998, 1000};
                text.append(lengths[random() % 7], u'>');
                break;
            }
            default:
                text += pieces[random() % std::size(pieces)];
            }
        }
        const int32_t width = random() % 4 == 0 ? static_cast<int32_t>(1 + random() % 100) : 70;
        const bool lf = random() % 2 == 0;
        const std::string text8 = Utf8(text);
        ASSERT_EQ(Utf8Rewrapped(text8, width, lf), Utf8Reference(text, width, lf))
            << "round " << round << ", width " << width;
    }
}

TEST(Utf8Rewrap, CountsUnitsNotBytes) {
    struct Case {
        std::u16string text;
        int32_t width;
    };
    const Case cases[] = {
        // 35 characters of two units are exactly 70 units: no wrap; 36 are one word too many.
        {std::u16string(u"\U0001F600 ") + u"\U0001F600\U0001F600 ", 4},
        {std::u16string(23, u'\u20AC') + u" " + std::u16string(23, u'\u20AC'), 46},
        // The window ends between the halves of a character.
        {u"aaa \U0001F600\U0001F600", 5},
        // The hard limit falls between the halves: the character stays whole.
        {std::u16string(997, u'x') + u"\U0001F600" + u"x", 70},
        // Only half a character fits after a prefix of 997: each half is U+FFFD.
        {std::u16string(997, u'>') + u"x" + Repeat16(u"\U0001F600", 40) + u" a", 70},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8Rewrapped(Utf8(c.text), c.width, false),
                  Utf8Reference(c.text, c.width, false));
    }
    // That last line is the one the UTF-8 engine leaves to the UTF-16 one.
    const std::string halves = "one\n" + Utf8(cases[4].text) + "\ntwo";
    std::string out;
    EXPECT_EQ(AppendRewrappedUtf8Mail(out, halves, 70, "\r\n"), 4u);
    EXPECT_NE(Utf8Rewrapped(halves, 70, false).find("\xEF\xBF\xBD\r\n"), std::string::npos);
}

TEST(Utf8, ValidLengthStopsAtTheFirstFault) {
    // Each sequence after runs of ASCII and of two-byte letters of every
    // length, so that it falls on every place of a block checked at once.
    struct Case {
        std::string bytes;
        bool valid;      // the whole of `bytes` is valid
        bool incomplete; // it is the valid start of a sequence, cut off
    };
    const Case cases[] = {
        {"\xC3\xA4", true, false},
        {"\xE2\x82\xAC", true, false},
        {"\xF0\x9F\x98\x80", true, false},
        {"\xC3", false, true},
        {"\xF0\x9F\x98", false, true},
        {"\x80", false, false},
        {"\xC3"
         "a",
         false, false},
        {"\xC0\x80", false, false},
        {"\xC1\xBF", false, false},
        {"\xE0\x80\x80", false, false},
        {"\xED\xA0\x80", false, false},
        {"\xF4\x90\x80\x80", false, false},
        {"\xF5\x80\x80\x80", false, false},
        {"\xC3\xA4\xA4", false, false},
    };
    for (const Case& c : cases) {
        for (size_t ascii = 0; ascii < 70; ++ascii) {
            for (size_t pairs : {0, 1, 31, 32}) {
                const std::string head = std::string(ascii, 'a') + Repeat("\xC3\xA4", pairs);
                const std::string text = head + c.bytes + (c.incomplete ? "" : "tail");
                bool invalid = true;
                const size_t valid = Utf8ValidLength(text, invalid);
                const size_t expected = c.valid                     ? text.size()
                                        : c.bytes == "\xC3\xA4\xA4" ? head.size() + 2
                                                                    : head.size();
                ASSERT_EQ(valid, expected)
                    << "case " << &c - cases << " after " << ascii << "+" << pairs;
                ASSERT_EQ(invalid, !c.valid && !c.incomplete) << "case " << &c - cases;
            }
        }
    }
}

} // namespace
