#include <gtest/gtest.h>

#include <cairo.h>

#include <sstream>

#include "Foundation/NSNumber.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIImage.h"
#include "host/HostFailure.h"
#include "host/HostPresenter.h"
#include "support/TestSupport.h"
#include "window/ModalPanelState.h"

namespace {

using namespace host;

const std::string kMessage = "#np Song by Band via Trillbox";

// A panel's buttons, its cancel and default buttons, and what else it keeps.
std::string summary(const PanelContent& content, const std::string& more) {
    std::ostringstream out;
    for (const std::string& button : content.buttons) {
        out << button << ", ";
    }
    out << "cancel " << content.cancelButton << ", default " << content.defaultButton << more;
    return out.str();
}

Ptr<UIImage> image() {
    return UIImage::imageWithSurface(UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4)),
                                     1);
}

Ptr<UIActivityViewController> sheetWith(std::vector<Ptr<NSObject>> items) {
    return alloc<UIActivityViewController>()->initWithActivityItems(
        NSArray::arrayWithObjects(std::move(items)), nullptr);
}

// Hears which button an alert was answered with.
struct ClickRecorder : NSObject, UIAlertViewDelegate {
    NSInteger clicked = -2;
    void alertViewClickedButtonAtIndex(const Ptr<UIAlertView>&, NSInteger index) override { clicked = index; }
};

class PanelTest : public PlatformTest {
protected:
    PanelTest() { _presenter->install(); }
    ~PanelTest() override { _presenter->uninstall(); }
    bool sync() { return _panels.sync(*_presenter, {352, 140}); }

    std::shared_ptr<HostPresenter> _presenter = std::make_shared<HostPresenter>(false);
    ModalPanelState _panels;
};

TEST_F(PanelTest, AnAlertCoversTheSheetKeepsItsButtonsInOrderAndCanAlwaysBeClosed) {
    _presenter->presentViewController(nullptr, sheetWith({NSStr(kMessage)}), false, nullptr);
    const std::vector<std::tuple<Ptr<NSString>, std::vector<Ptr<NSString>>, std::string>> cases = {
        {NSStr("Ok"), {NSStr("Retry"), NSStr("Later")}, "Ok, Retry, Later, cancel 0, default 1; clicked 2"},
        {NSStr("Ok"), {}, "Ok, cancel 0, default 0; clicked 0"},
        {nullptr, {NSStr("A"), NSStr("B")}, "A, B, cancel -1, default 0; clicked 1"},
        // Without buttons it gets one that answers as its cancel button would.
        {nullptr, {}, "OK, cancel 0, default 0; clicked -1"},
    };
    for (const auto& [cancel, others, expected] : cases) {
        const auto recorder = alloc<ClickRecorder>();
        const auto alert = alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), NSStr("Message"), recorder,
                                                               cancel, others);
        alert->show();
        ASSERT_TRUE(sync());
        const PanelContent content = _panels.panel()->content();
        const int last = static_cast<int>(content.buttons.size()) - 1;
        EXPECT_FALSE(_panels.choose(last + 1, *_presenter, {}));
        EXPECT_TRUE(_panels.choose(last, *_presenter, {}));
        EXPECT_EQ(summary(content, "; clicked " + std::to_string(recorder->clicked)), expected);
        EXPECT_TRUE(sync() && _panels.isShown() && _panels.panel()->content().title == "Share");
    }
}

TEST_F(PanelTest, AButtonActsOnlyWhenLetGoOnTheOneItWentDownOnAndEveryChangeIsRedrawn) {
    _presenter->presentViewController(nullptr, sheetWith({NSStr(kMessage), image()}), false, nullptr);
    ASSERT_TRUE(sync() && _panels.takeNeedsDisplay());
    const auto point = [&](char button) {
        const CGRect rect = _panels.panel()->buttonRect(button - '0');
        return button == 'x' ? CGPointMake(1, 1) : CGPointMake(CGRectGetMidX(rect), CGRectGetMidY(rect));
    };
    // Steps: press, move or release over a button (or x, none) and cx the pointer
    // leaving; then the highlight, * when redrawn, and what a release chose.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"p1 r1", "1* -1*=1"},
        {"p1 m2 m2 r2", "1* -1* -1 -1*=-1"},
        {"p1 mx m1 r1", "1* -1* 1* -1*=1"},
        {"px m0 r0 m1", "-1* -1 -1=-1 -1"},
        {"p0 cx r0 cx", "0* -1* -1=-1 -1"},
    };
    for (const auto& [steps, expected] : cases) {
        std::string trace;
        for (std::size_t at = 0; at < steps.size(); at += 3) {
            const char step = steps[at];
            const int chosen = step == 'r' ? _panels.release(point(steps[at + 1])) : 0;
            if (step == 'p') {
                _panels.press(point(steps[at + 1]));
            } else if (step == 'm') {
                _panels.move(point(steps[at + 1]));
            } else if (step == 'c') {
                _panels.cancelPress();
            }
            trace += (at ? " " : "") + std::to_string(_panels.panel()->highlightedButton()) +
                     (_panels.takeNeedsDisplay() ? "*" : "") +
                     (step == 'r' ? "=" + std::to_string(chosen) : "");
        }
        EXPECT_EQ(trace, expected) << steps;
    }
}

TEST_F(PanelTest, AShareSheetOffersWhatItHoldsAndEachChoiceFinishesItOnce) {
    const std::string sheet = "Copy, Save Artwork, Cancel, cancel 2, default 0; ";
    const std::string copied = std::string(kActivityTypeCopyToPasteboard) + " YES, completed";
    const std::string saved = std::string(kActivityTypeSaveToCameraRoll) + " YES, completed, saved /p/a.png";
    const Ptr<UIImage> picture = image();
    const std::vector<Ptr<NSObject>> both = {NSStr(kMessage), picture};
    // The items, the button chosen, whether the desktop's services work; the
    // buttons, how the sheet finished, the outcome, what went on the clipboard and
    // the notice, which stays for two seconds.
    const std::vector<std::tuple<std::vector<Ptr<NSObject>>, int, bool, std::string>> cases = {
        {both, 0, true, sheet + copied + "; " + kMessage + " | Copied"},
        {both, 0, false,
         sheet + "nil NO, not completed, failed; " + kMessage +
             " | Not copied: cannot put the text on the clipboard"},
        {both, 1, true, sheet + saved + " | Saved to ~/a.png"},
        {both, 1, false,
         sheet + "nil NO, not completed, failed: cannot create /p/a.png | Not saved: cannot create ~/a.png"},
        {both, 2, true, sheet + "nil NO, not completed"},
        {{picture}, 0, true, "Save Artwork, Cancel, cancel 1, default 0; " + saved + " | Saved to ~/a.png"},
        // Texts one a line; what is neither is not offered.
        {{NSStr("one"), NSNumber::numberWithInteger(3), NSStr("two")},
         0,
         true,
         "Copy, Cancel, cancel 1, default 0; " + copied + "; one\ntwo | Copied"},
    };
    for (const auto& [items, button, works, expected] : cases) {
        const auto shown = sheetWith(items);
        std::string finished;
        shown->setCompletionHandler([&](const Ptr<NSString>& type, bool completed) {
            finished += (type ? type->UTF8String() : "nil") + (completed ? " YES" : " NO");
        });
        _presenter->presentViewController(nullptr, shown, false, nullptr);
        ASSERT_TRUE(sync());
        std::string clipboard;
        const ShareServices services{
            .copyText = [&](const std::string& text) { return (clipboard = text, works); },
            .saveImage = [&](const UIImage& image) -> std::string {
                return works && &image == picture.get() ? "/p/a.png"
                                                        : throw HostFailure("cannot create /p/a.png");
            },
            .homeDirectory = "/p/"};
        const std::string buttons = summary(_panels.panel()->content(), "; ");
        const std::optional<ShareOutcome> outcome = _panels.choose(button, *_presenter, services);
        ASSERT_TRUE(outcome);
        const std::string failure = button == 1 ? ": " + outcome->failure : "";
        const std::string notice = _panels.notice() ? " | " + _panels.notice()->content().message : "";
        advance(ModalPanelState::kNoticeSeconds - 0.01);
        EXPECT_EQ(_panels.notice() != nullptr, !notice.empty());
        _panels.takeNeedsDisplay();
        advance(0.01);
        EXPECT_EQ(_panels.notice() == nullptr && _panels.takeNeedsDisplay(), !notice.empty());
        EXPECT_EQ(buttons + finished + (outcome->completed ? ", completed" : ", not completed") +
                      (outcome->savedPath.empty() ? "" : ", saved " + outcome->savedPath) +
                      (outcome->failure.empty() ? "" : ", failed" + failure) +
                      (clipboard.empty() ? "" : "; " + clipboard) + notice,
                  expected);
    }
}

TEST(ModalPanel, ButtonsSitSideBySideInACardThatStaysInTheWindowWhateverTheMessage) {
    constexpr CGSize kWindow{352, 140};
    const auto inside = [](CGRect inner, CGRect outer) {
        return CGRectEqualToRect(CGRectUnion(outer, inner), outer);
    };
    // Bytes that are not UTF-8 are drawn, not refused.
    for (const std::string& message : {kMessage, std::string(2000, 'w'), std::string("caf\xe9\xff")}) {
        const ModalPanel panel(PanelContent{"Share", message, {"Copy", "Save Artwork", "Cancel"}, 2, 0},
                               kWindow);
        EXPECT_TRUE(inside(panel.cardRect(), {{0, 0}, kWindow}));
        for (int index = 0; index < 3; ++index) {
            const CGRect button = panel.buttonRect(index);
            EXPECT_TRUE(inside(button, panel.cardRect())) << index;
            if (index > 0) {
                EXPECT_GT(button.origin.x, CGRectGetMaxX(panel.buttonRect(index - 1)));
            }
        }
        EXPECT_EQ(panel.buttonRect(3).size.width, 0);
    }
}

} // namespace
