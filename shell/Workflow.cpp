#include "shell/Workflow.h"

#include "rewrap/RewrapMail.h"
#include "ui/MainWindowLayout.h"
#include "ui/UiTexts.h"

namespace {

struct WorkflowState {
    bool firstActivation = true;
    bool isWrapped = false;
    std::u16string unwrappedText;
    std::u16string rewrappedText;
    // What the view shows: a copy, because rich edit gives its text back with
    // other line ends than it was given.
    std::u16string shownText;
};

void ViewShow(WorkflowState& state, const std::u16string& text) {
    ControlSetText(GadgetClipboardView, text);
    state.shownText = text;
}

void StatusShow(UiText text, Colour colour) {
    ControlSetText(GadgetStatus, UiTexts[text]);
    ControlSetTextColour(GadgetStatus, colour);
}

void RefreshFromClipboard(WorkflowState& state, std::u16string text) {
    state.unwrappedText = std::move(text);
    ViewShow(state, state.unwrappedText);
    state.rewrappedText = RewrapMail(state.unwrappedText);
    if (state.rewrappedText == state.unwrappedText) {
        StatusShow(NoWrapMessage, StatusGreen);
        ControlShow(GadgetGo, false);
    } else {
        StatusShow(ClickPrompt, StatusBlack);
        ControlSetText(GadgetGo, UiTexts[GoCaption]);
        state.isWrapped = false;
        ControlShow(GadgetGo, true);
    }
    state.firstActivation = false;
}

void OnActivated(WorkflowState& state) {
    std::u16string text;
    // A clipboard held by another program is not an empty one: wait for the
    // next activation rather than wipe the view.
    if (!ClipboardReadText(text)) return;
    if (!state.firstActivation && text == state.shownText) return;
    RefreshFromClipboard(state, std::move(text));
}

// Go and Undo: put one of the two texts of the last refresh on the clipboard.
// Only when that worked do the view, the status and the button follow.
void PutOnClipboard(WorkflowState& state, bool wrap) {
    const std::u16string& text = wrap ? state.rewrappedText : state.unwrappedText;
    if (!ClipboardWriteText(text)) {
        StatusShow(ClipboardBusy, StatusRed);
        return;
    }
    ViewShow(state, text);
    if (wrap) {
        StatusShow(DoneMessage, StatusGreen);
        ControlSetText(GadgetGo, UiTexts[UndoCaption]);
    } else {
        StatusShow(ClickPrompt, StatusBlack);
        ControlSetText(GadgetGo, UiTexts[GoCaption]);
    }
    state.isWrapped = wrap;
}

} // namespace

void RunEventLoop() {
    WorkflowState state;
    for (;;) {
        const Event event = EventWait();
        if (event.kind == EventKind::CloseRequested) break;
        if (event.kind == EventKind::Activated) {
            OnActivated(state);
        } else if (event.control == GadgetGo) {
            // Before the first refresh there is nothing to put: a click then
            // would only wipe the user's clipboard.
            if (!state.firstActivation) PutOnClipboard(state, !state.isWrapped);
        } else if (event.control == GadgetLink) {
            WebPageOpen(AuthorPage);
        } else if (event.control == GadgetQuit) {
            break;
        }
    }
}
