#include <gtest/gtest.h>

#include <cairo.h>

#include <sstream>

#include "Foundation/NSNumber.h"
#include "HostFailure.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIImage.h"
#include "support/TestSupport.h"
#include "window/AlertPanel.h"
#include "window/ModalPanel.h"
#include "window/SharePanel.h"

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

class PanelTest : public PlatformTest {};

TEST_F(PanelTest, AnAlertKeepsItsButtonsInOrderAndCanAlwaysBeClosed) {
    const std::vector<std::tuple<Ptr<NSString>, std::vector<Ptr<NSString>>, std::string>> cases = {
        {NSStr("Ok"), {NSStr("Retry"), NSStr("Later")}, "Ok, Retry, Later, cancel 0, default 1; { 0, 1, 2 }"},
        {NSStr("Ok"), {}, "Ok, cancel 0, default 0; { 0 }"},
        {nullptr, {NSStr("A"), NSStr("B")}, "A, B, cancel -1, default 0; { 0, 1 }"},
        // Without buttons it gets one that answers as its cancel button would.
        {nullptr, {}, "OK, cancel 0, default 0; { -1 }"},
    };
    for (const auto& [cancel, others, expected] : cases) {
        const auto alert =
            alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), NSStr("Message"), nullptr, cancel, others);
        const AlertPanel panel = makeAlertPanel(*alert);
        EXPECT_EQ(panel.content.message, "Message");
        EXPECT_EQ(summary(panel.content, "; " + ::testing::PrintToString(panel.alertIndices)), expected);
    }
}

TEST_F(PanelTest, AShareSheetOffersCopyForTextsAndSaveForAnImage) {
    const std::vector<std::pair<std::vector<Ptr<NSObject>>, std::string>> cases = {
        {{NSStr(kMessage), image()},
         "Copy, Save Artwork, Cancel, cancel 2, default 0; " + kMessage + " and an image"},
        {{image()}, "Save Artwork, Cancel, cancel 1, default 0;  and an image"},
        // Texts one a line; what is neither is not offered.
        {{NSStr("one"), NSNumber::numberWithInteger(3), NSStr("two")},
         "Copy, Cancel, cancel 1, default 0; one\ntwo"},
    };
    for (const auto& [items, expected] : cases) {
        const SharePanel panel = makeSharePanel(*sheetWith(items));
        EXPECT_EQ(summary(panel.content, "; " + panel.text + (panel.image ? " and an image" : "")), expected);
    }
}

TEST_F(PanelTest, EachChoiceFinishesTheSheetOnceAndOnlyWhatWorkedCompletes) {
    const std::string copied = std::string(kActivityTypeCopyToPasteboard) + " YES";
    const std::string saved = std::string(kActivityTypeSaveToCameraRoll) + " YES";
    // The choice, whether the desktop's services work, how the sheet finished, the outcome.
    const std::vector<std::tuple<ShareChoice, bool, std::string, std::string>> cases = {
        {ShareChoice::copy, true, copied, "completed"},
        {ShareChoice::copy, false, "nil NO", "not completed, failed"},
        {ShareChoice::saveArtwork, true, saved, "completed, saved /p/a.png"},
        {ShareChoice::saveArtwork, false, "nil NO", "not completed, failed: cannot create /p/a.png"},
        {ShareChoice::cancel, true, "nil NO", "not completed"},
    };
    for (const auto& [choice, works, finish, expected] : cases) {
        SCOPED_TRACE(expected);
        const auto sheet = sheetWith({NSStr(kMessage), image()});
        const SharePanel panel = makeSharePanel(*sheet);
        std::vector<std::string> finished;
        sheet->setCompletionHandler([&](const Ptr<NSString>& type, bool completed) {
            finished.push_back((type ? type->UTF8String() : "nil") + (completed ? " YES" : " NO"));
        });
        std::string clipboard;
        const ShareServices services{
            .copyText = [&](const std::string& text) { return (clipboard = text, works); },
            .saveImage = [&](const UIImage& image) -> std::string {
                return works && &image == panel.image.get() ? "/p/a.png"
                                                            : throw HostFailure("cannot create /p/a.png");
            }};
        const ShareOutcome outcome = performShareChoice(sheet, panel, choice, services);
        const std::string failure = choice == ShareChoice::saveArtwork ? ": " + outcome.failure : "";
        EXPECT_EQ(std::string(outcome.completed ? "completed" : "not completed") +
                      (outcome.savedPath.empty() ? "" : ", saved " + outcome.savedPath) +
                      (outcome.failure.empty() ? "" : ", failed" + failure),
                  expected);
        EXPECT_EQ(finished, std::vector<std::string>{finish});
        EXPECT_EQ(clipboard, choice == ShareChoice::copy ? kMessage : "");
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
            EXPECT_EQ(panel.buttonAt({CGRectGetMidX(button), CGRectGetMidY(button)}), index);
            if (index > 0) {
                EXPECT_GT(button.origin.x, CGRectGetMaxX(panel.buttonRect(index - 1)));
            }
        }
        EXPECT_EQ(panel.buttonAt({1, 1}), -1);
        EXPECT_EQ(panel.buttonRect(3).size.width, 0);
    }
}

} // namespace
