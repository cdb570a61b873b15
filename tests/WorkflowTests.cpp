#include <gtest/gtest.h>

#include "rewrap/RewrapMail.h"
#include "shell/Workflow.h"
#include "tests/FakeWindow.h"
#include "tests/TestText.h"
#include "ui/MainWindowLayout.h"
#include "ui/UiTexts.h"

// The clipboard and the shell, scripted.
namespace {
struct FakeClipboard {
    std::u16string text;
    int busyReads = 0;  // the next this many reads find the clipboard held
    int busyWrites = 0; // and writes
    int reads = 0;
    std::vector<std::u16string> writes;
    std::vector<std::u16string> pagesOpened;
};
FakeClipboard clipboard;
} // namespace

bool ClipboardReadText(std::u16string& text) {
    ++clipboard.reads;
    if (clipboard.busyReads > 0) {
        --clipboard.busyReads;
        return false;
    }
    text = clipboard.text;
    return true;
}

bool ClipboardWriteText(std::u16string_view text) {
    if (clipboard.busyWrites > 0) {
        --clipboard.busyWrites;
        return false;
    }
    clipboard.text = text;
    clipboard.writes.emplace_back(text);
    return true;
}

void WebPageOpen(std::u16string_view address) { clipboard.pagesOpened.emplace_back(address); }

namespace {

const std::u16string LongLine = U(Repeat("word ", 20) + "end"); // 103 units
const std::u16string Wrapped = RewrapMail(LongLine);

Event Activated() { return {EventKind::Activated, -1}; }
Event Clicked(int control) { return {EventKind::Clicked, control}; }

// A user's session: each step changes the world, then an event arrives; the
// check runs right after the program has handled it.
struct Step {
    std::function<void()> world;
    Event event;
    std::function<void()> check;
};

class Workflow : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeWindowReset();
        clipboard = FakeClipboard{};
        FillUiTexts(u"en");
        ASSERT_TRUE(OpenMainWindow(1.0f, 1.0f, 80));
    }

    // Runs the steps through RunEventLoop; each check runs when the program
    // asks for the next event. The loop must end by itself at the close.
    void Run(std::vector<Step> steps) {
        std::function<void()> pendingCheck;
        for (Step& step : steps) {
            std::function<void()> check = pendingCheck;
            std::function<void()> world = step.world;
            fakeWindow.script.push_back({[check, world] {
                                             if (check) check();
                                             if (world) world();
                                         },
                                         step.event});
            pendingCheck = step.check;
        }
        fakeWindow.script.push_back({pendingCheck, {EventKind::CloseRequested, -1}});
        RunEventLoop();
        EXPECT_TRUE(fakeWindow.script.empty());
    }

    static const FakeControl& View() { return fakeWindow.controls[GadgetClipboardView]; }
    static const FakeControl& Status() { return fakeWindow.controls[GadgetStatus]; }
    static const FakeControl& Go() { return fakeWindow.controls[GadgetGo]; }

    static void ExpectStatus(UiText text, Colour colour) {
        EXPECT_EQ(Status().text, UiTexts[text]);
        EXPECT_TRUE(Status().hasColour);
        EXPECT_EQ(Status().colour.red, colour.red);
        EXPECT_EQ(Status().colour.green, colour.green);
        EXPECT_EQ(Status().colour.blue, colour.blue);
    }
    static void ExpectReady(const std::u16string& text) {
        EXPECT_EQ(View().text, text);
        ExpectStatus(ClickPrompt, StatusBlack);
        EXPECT_EQ(Go().text, u"Go");
        EXPECT_TRUE(Go().visible);
    }
    static void ExpectWrapped(const std::u16string& wrapped) {
        EXPECT_EQ(View().text, wrapped);
        EXPECT_EQ(clipboard.text, wrapped);
        ExpectStatus(DoneMessage, StatusGreen);
        EXPECT_EQ(Go().text, u"Undo");
        EXPECT_TRUE(Go().visible);
    }
    static void ExpectNothingToWrap(const std::u16string& text) {
        EXPECT_EQ(View().text, text);
        ExpectStatus(NoWrapMessage, StatusGreen);
        EXPECT_FALSE(Go().visible);
    }
};

TEST_F(Workflow, FirstActivationRefreshesEvenAnEmptyClipboard) {
    Run({{nullptr, Activated(), [] {
              ExpectNothingToWrap(u"");
              EXPECT_EQ(View().textSets, 1);
          }}});
}

TEST_F(Workflow, LineEndsDecideWhetherAnythingNeedsWrapping) {
    Run({{[] { clipboard.text = u"one\r\ntwo\r\n"; }, Activated(),
          [] { ExpectNothingToWrap(u"one\r\ntwo\r\n"); }},
         {[] { clipboard.text = u"one\ntwo\n"; }, Activated(), [] { ExpectReady(u"one\ntwo\n"); }},
         {nullptr, Clicked(GadgetGo), [] { ExpectWrapped(u"one\r\ntwo\r\n"); }}});
}

TEST_F(Workflow, GoUndoGoPutsTheTextsOfTheLastRefresh) {
    Run({{[] { clipboard.text = LongLine; }, Activated(), [] { ExpectReady(LongLine); }},
         {nullptr, Clicked(GadgetGo), [] { ExpectWrapped(Wrapped); }},
         {nullptr, Clicked(GadgetGo), [] {
              ExpectReady(LongLine);
              EXPECT_EQ(clipboard.text, LongLine);
          }},
         {nullptr, Clicked(GadgetGo), [] {
              ExpectWrapped(Wrapped);
              EXPECT_EQ(clipboard.writes, (std::vector<std::u16string>{Wrapped, LongLine, Wrapped}));
          }}});
}

TEST_F(Workflow, ReturningAfterGoChangesNothing) {
    Run({{[] { clipboard.text = LongLine; }, Activated(), nullptr},
         {nullptr, Clicked(GadgetGo), nullptr},
         {nullptr, Activated(), nullptr},
         // Pasted elsewhere, which leaves the clipboard as it is.
         {nullptr, Activated(), [] {
              ExpectWrapped(Wrapped);
              EXPECT_EQ(View().textSets, 2); // the refresh and Go, nothing since
          }},
         {nullptr, Clicked(GadgetGo), [] { ExpectReady(LongLine); }}});
}

TEST_F(Workflow, NewTextsAfterGoAreRefreshed) {
    Run({{[] { clipboard.text = LongLine; }, Activated(), nullptr},
         {nullptr, Clicked(GadgetGo), nullptr},
         {[] { clipboard.text = u"short"; }, Activated(), [] { ExpectNothingToWrap(u"short"); }},
         {[] { clipboard.text = LongLine + u"!"; }, Activated(), [] {
              // Shown again with the Go caption, not the Undo one of before.
              ExpectReady(LongLine + u"!");
          }}});
}

TEST_F(Workflow, AnyDifferenceCountsAsNew) {
    Run({{[] { clipboard.text = u"Short text"; }, Activated(), nullptr},
         {[] { clipboard.text = u"short text"; }, Activated(),
          [] { EXPECT_EQ(View().text, u"short text"); }},
         {[] { clipboard.text = u"short text\r\n"; }, Activated(), [] {
              EXPECT_EQ(View().text, u"short text\r\n");
              EXPECT_EQ(View().textSets, 3);
          }}});
}

TEST_F(Workflow, ClipboardHeldOnActivationChangesNothing) {
    Run({{[] {
              clipboard.text = LongLine;
              clipboard.busyReads = 1;
          },
          Activated(),
          [] {
              // Not taken for an empty clipboard: still as the window opened.
              EXPECT_EQ(View().textSets, 0);
              EXPECT_FALSE(Status().hasColour);
              EXPECT_TRUE(Go().visible);
          }},
         // Go before any refresh has nothing to put, and puts nothing.
         {nullptr, Clicked(GadgetGo), [] { EXPECT_TRUE(clipboard.writes.empty()); }},
         {nullptr, Activated(), [] { ExpectReady(LongLine); }},
         {[] {
              clipboard.text = u"other";
              clipboard.busyReads = 1;
          },
          Activated(), [] { ExpectReady(LongLine); }}});
}

TEST_F(Workflow, ClipboardHeldOnGoOrUndoIsSaidAndTriedAgain) {
    Run({{[] { clipboard.text = LongLine; }, Activated(), nullptr},
         {[] { clipboard.busyWrites = 1; }, Clicked(GadgetGo), [] {
              EXPECT_EQ(View().text, LongLine);
              EXPECT_EQ(clipboard.text, LongLine);
              EXPECT_EQ(Go().text, u"Go");
              ExpectStatus(ClipboardBusy, StatusRed);
          }},
         {nullptr, Clicked(GadgetGo), [] { ExpectWrapped(Wrapped); }},
         {[] { clipboard.busyWrites = 1; }, Clicked(GadgetGo), [] {
              EXPECT_EQ(View().text, Wrapped);
              EXPECT_EQ(Go().text, u"Undo");
              ExpectStatus(ClipboardBusy, StatusRed);
          }},
         {nullptr, Clicked(GadgetGo), [] { ExpectReady(LongLine); }}});
}

TEST_F(Workflow, TheLinkOpensThePageAndNothingElse) {
    Run({{[] { clipboard.text = LongLine; }, Activated(), nullptr},
         {nullptr, Clicked(GadgetLink), [] {
              EXPECT_EQ(clipboard.pagesOpened, std::vector<std::u16string>{AuthorPage});
              ExpectReady(LongLine);
          }}});
}

TEST_F(Workflow, QuitEndsTheLoopAtOnce) {
    fakeWindow.script.push_back({nullptr, Activated()});
    fakeWindow.script.push_back({nullptr, Clicked(GadgetQuit)});
    fakeWindow.script.push_back({nullptr, Activated()});
    RunEventLoop();
    EXPECT_EQ(fakeWindow.script.size(), 1u);
    EXPECT_FALSE(fakeWindow.closed); // closing is the shutdown's work
}

TEST_F(Workflow, OtherClicksChangeNothing) {
    Run({{[] { clipboard.text = LongLine; }, Activated(), nullptr},
         {nullptr, Clicked(GadgetClipboardView), [] {
              ExpectReady(LongLine);
              EXPECT_TRUE(clipboard.writes.empty());
          }}});
}

TEST_F(Workflow, GermanTexts) {
    FillUiTexts(u"de");
    Run({{[] { clipboard.text = LongLine; }, Activated(), [] {
              EXPECT_EQ(Status().text, u"Klicken Sie auf diese Schaltfl\u00E4che:");
              EXPECT_EQ(Go().text, u"Los");
          }},
         {[] { clipboard.busyWrites = 1; }, Clicked(GadgetGo),
          [] { EXPECT_EQ(Status().text, u"Zwischenablage belegt."); }},
         {nullptr, Clicked(GadgetGo), [] {
              EXPECT_EQ(Status().text, u"Erledigt.");
              EXPECT_EQ(Go().text, u"R\u00FCckg\u00E4ngig");
          }}});
}

} // namespace
