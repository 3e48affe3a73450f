#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "HostFailure.h"
#include "support/TestSupport.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIImage.h"
#include "window/AlertPanel.h"
#include "window/ModalPanel.h"
#include "window/SharePanel.h"

namespace {

namespace fs = std::filesystem;
using namespace host;
using Buttons = std::vector<std::string>;

constexpr CGSize kWindow{352, 140};
const std::string kMessage = "#np Song by Band via Trillbox";

Ptr<UIImage> solidImage(int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* context = cairo_create(surface);
    cairo_set_source_rgb(context, 0.9, 0.3, 0.1);
    cairo_paint(context);
    cairo_destroy(context);
    return UIImage::imageWithSurface(UICairoSurface(surface), 1);
}

Ptr<UIActivityViewController> sheetWith(std::vector<Ptr<NSObject>> items) {
    return alloc<UIActivityViewController>()->initWithActivityItems(
        NSArray::arrayWithObjects(std::move(items)), nullptr);
}

// What a sheet's completion handler heard.
struct Completion {
    std::optional<std::string> activityType;
    bool completed = false;
    int calls = 0;
};

void record(const Ptr<UIActivityViewController>& sheet, Completion& completion) {
    sheet->setCompletionHandler([&completion](const Ptr<NSString>& type, bool completed) {
        completion.activityType = type ? std::optional<std::string>(type->UTF8String()) : std::nullopt;
        completion.completed = completed;
        ++completion.calls;
    });
}

class PanelTest : public PlatformTest {};

TEST_F(PanelTest, AlertPanelKeepsTheAlertsButtonsAndItsCancelButton) {
    const auto alert = alloc<UIAlertView>()->initWithTitle(
        NSStr("Trillbox"), NSStr("Please start playing a track first before you share."), nullptr,
        NSStr("Ok"), {NSStr("Retry"), NSStr("Later")});
    const AlertPanel panel = makeAlertPanel(*alert);
    EXPECT_EQ(panel.content.title, "Trillbox");
    EXPECT_EQ(panel.content.message, "Please start playing a track first before you share.");
    EXPECT_EQ(panel.content.buttons, (Buttons{"Ok", "Retry", "Later"}));
    EXPECT_EQ(panel.alertIndices, (std::vector<NSInteger>{0, 1, 2}));
    EXPECT_EQ(panel.content.cancelButton, 0);
    EXPECT_EQ(panel.content.defaultButton, 1);

    const auto okOnly =
        alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), nullptr, nullptr, NSStr("Ok"), {});
    const AlertPanel single = makeAlertPanel(*okOnly);
    EXPECT_EQ(single.content.message, "");
    EXPECT_EQ(single.content.buttons, Buttons{"Ok"});
    EXPECT_EQ(single.content.defaultButton, 0);
}

TEST_F(PanelTest, AnAlertWithoutButtonsCanStillBeClosed) {
    const auto alert = alloc<UIAlertView>()->initWithTitle(NSStr("Busy"), nullptr, nullptr, nullptr, {});
    const AlertPanel panel = makeAlertPanel(*alert);
    EXPECT_EQ(panel.content.buttons, Buttons{"OK"});
    EXPECT_EQ(panel.alertIndices, std::vector<NSInteger>{alert->cancelButtonIndex()});
    EXPECT_EQ(panel.content.cancelButton, 0);

    const auto noCancel = alloc<UIAlertView>()->initWithTitle(NSStr("Pick"), nullptr, nullptr, nullptr,
                                                              {NSStr("A"), NSStr("B")});
    const AlertPanel choice = makeAlertPanel(*noCancel);
    EXPECT_EQ(choice.content.buttons, (Buttons{"A", "B"}));
    EXPECT_EQ(choice.content.cancelButton, -1);
    EXPECT_EQ(choice.content.defaultButton, 0);
}

TEST_F(PanelTest, ShareSheetOffersCopySaveArtworkAndCancelForWhatIsShared) {
    const SharePanel both = makeSharePanel(*sheetWith({NSStr(kMessage), solidImage(4, 4)}));
    EXPECT_EQ(both.content.buttons, (Buttons{"Copy", "Save Artwork", "Cancel"}));
    EXPECT_EQ(both.content.message, kMessage);
    EXPECT_EQ(both.content.cancelButton, 2);
    EXPECT_EQ(both.content.defaultButton, 0);
    ASSERT_TRUE(both.image);

    const SharePanel textOnly = makeSharePanel(*sheetWith({NSStr(kMessage)}));
    EXPECT_EQ(textOnly.content.buttons, (Buttons{"Copy", "Cancel"}));
    EXPECT_FALSE(textOnly.image);

    const SharePanel imageOnly = makeSharePanel(*sheetWith({solidImage(4, 4)}));
    EXPECT_EQ(imageOnly.content.buttons, (Buttons{"Save Artwork", "Cancel"}));

    // Texts are copied one a line; things that are neither are not offered.
    const SharePanel mixed =
        makeSharePanel(*sheetWith({NSStr("one"), NSNumber::numberWithInteger(3), NSStr("two")}));
    EXPECT_EQ(mixed.text, "one\ntwo");
    EXPECT_EQ(mixed.content.buttons, (Buttons{"Copy", "Cancel"}));
}

TEST_F(PanelTest, CopyPutsTheMessageOnTheClipboardAndFinishesTheSheet) {
    const auto sheet = sheetWith({NSStr(kMessage), solidImage(4, 4)});
    Completion completion;
    record(sheet, completion);
    std::string clipboard;
    const ShareServices services{.copyText =
                                     [&](const std::string& text) {
                                         clipboard = text;
                                         return true;
                                     },
                                 .saveImage = nullptr};
    const ShareOutcome outcome =
        performShareChoice(sheet, makeSharePanel(*sheet), ShareChoice::copy, services);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(clipboard, kMessage);
    EXPECT_EQ(completion.calls, 1);
    EXPECT_EQ(completion.activityType, std::string(kActivityTypeCopyToPasteboard));
    EXPECT_TRUE(completion.completed);
}

TEST_F(PanelTest, AFailedChoiceStillFinishesTheSheetUncompleted) {
    const auto sheet = sheetWith({NSStr(kMessage), solidImage(4, 4)});
    Completion completion;
    record(sheet, completion);
    const ShareServices services{
        .copyText = [](const std::string&) { return false; },
        .saveImage = [](const UIImage&) -> std::string { throw HostFailure("cannot create /x/y.png"); },
    };
    const ShareOutcome copy = performShareChoice(sheet, makeSharePanel(*sheet), ShareChoice::copy, services);
    EXPECT_FALSE(copy.completed);
    EXPECT_NE(copy.failure, "");
    EXPECT_EQ(completion.calls, 1);
    EXPECT_EQ(completion.activityType, std::nullopt);
    EXPECT_FALSE(completion.completed);

    const auto second = sheetWith({NSStr(kMessage), solidImage(4, 4)});
    record(second, completion);
    const ShareOutcome save =
        performShareChoice(second, makeSharePanel(*second), ShareChoice::saveArtwork, services);
    EXPECT_EQ(save.failure, "cannot create /x/y.png");
    EXPECT_EQ(save.savedPath, "");
    EXPECT_EQ(completion.calls, 2);
    EXPECT_FALSE(completion.completed);
}

TEST_F(PanelTest, SaveArtworkAndCancelFinishWithTheirOwnTypes) {
    const auto sheet = sheetWith({NSStr(kMessage), solidImage(4, 4)});
    Completion completion;
    record(sheet, completion);
    const UIImage* saved = nullptr;
    const ShareServices services{.copyText = nullptr, .saveImage = [&](const UIImage& image) {
                                     saved = &image;
                                     return std::string("/pictures/trillbox-artwork.png");
                                 }};
    const SharePanel panel = makeSharePanel(*sheet);
    const ShareOutcome outcome = performShareChoice(sheet, panel, ShareChoice::saveArtwork, services);
    EXPECT_EQ(outcome.savedPath, "/pictures/trillbox-artwork.png");
    EXPECT_EQ(saved, panel.image.get());
    EXPECT_EQ(completion.activityType, std::string(kActivityTypeSaveToCameraRoll));
    EXPECT_TRUE(completion.completed);

    const auto cancelled = sheetWith({NSStr(kMessage)});
    record(cancelled, completion);
    const ShareOutcome cancel =
        performShareChoice(cancelled, makeSharePanel(*cancelled), ShareChoice::cancel, services);
    EXPECT_FALSE(cancel.completed);
    EXPECT_EQ(cancel.failure, "");
    EXPECT_EQ(completion.calls, 2);
    EXPECT_EQ(completion.activityType, std::nullopt);
}

TEST_F(PanelTest, SavedArtworkIsAPngOfTheImagesPixelsInThePicturesDirectory) {
    TemporaryDirectory home;
    fs::create_directories(home.file("Pictures"));
    const std::string previousHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_PICTURES_DIR");
    const auto image = solidImage(30, 20);
    const std::string first = saveArtworkImage(*image);
    const std::string second = saveArtworkImage(*image);
    ::setenv("HOME", previousHome.c_str(), 1);

    EXPECT_EQ(first, home.file("Pictures/trillbox-artwork.png"));
    EXPECT_EQ(second, home.file("Pictures/trillbox-artwork-2.png"));
    cairo_surface_t* png = cairo_image_surface_create_from_png(first.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 30);
    EXPECT_EQ(cairo_image_surface_get_height(png), 20);
    const auto firstPixel = [](cairo_surface_t* surface) {
        cairo_surface_flush(surface);
        return *reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface));
    };
    EXPECT_EQ(firstPixel(png), firstPixel(image->cairoSurface()));
    cairo_surface_destroy(png);
}

// --- The panel's geometry and drawing ------------------------------------------

bool inside(CGRect inner, CGRect outer) {
    return inner.origin.x >= outer.origin.x && inner.origin.y >= outer.origin.y &&
           inner.origin.x + inner.size.width <= outer.origin.x + outer.size.width + 1e-9 &&
           inner.origin.y + inner.size.height <= outer.origin.y + outer.size.height + 1e-9;
}

CGPoint centre(CGRect rect) {
    return {rect.origin.x + rect.size.width / 2, rect.origin.y + rect.size.height / 2};
}

TEST(ModalPanel, ButtonsSitSideBySideInACardInsideTheWindow) {
    const ModalPanel panel(PanelContent{"Share", kMessage, {"Copy", "Save Artwork", "Cancel"}, 2, 0},
                           kWindow);
    const CGRect window{{0, 0}, kWindow};
    EXPECT_TRUE(inside(panel.cardRect(), window));
    for (int index = 0; index < 3; ++index) {
        const CGRect button = panel.buttonRect(index);
        EXPECT_TRUE(inside(button, panel.cardRect())) << index;
        EXPECT_GT(button.size.width, 60) << index;
        EXPECT_EQ(panel.buttonAt(centre(button)), index);
        if (index > 0) {
            const CGRect previous = panel.buttonRect(index - 1);
            EXPECT_GT(button.origin.x, previous.origin.x + previous.size.width);
            EXPECT_DOUBLE_EQ(button.size.width, previous.size.width);
            EXPECT_DOUBLE_EQ(button.origin.y, previous.origin.y);
        }
    }
    EXPECT_EQ(panel.buttonAt({1, 1}), -1);
    EXPECT_EQ(panel.buttonAt(centre(panel.cardRect())), -1);
    EXPECT_EQ(panel.buttonRect(3).size.width, 0);
    EXPECT_EQ(panel.buttonRect(-1).size.width, 0);
}

TEST(ModalPanel, AMessageOfAnyLengthKeepsTheCardInTheWindow) {
    std::string longMessage;
    for (int word = 0; word < 200; ++word) {
        longMessage += "word ";
    }
    const ModalPanel threeLines(PanelContent{"Share", longMessage, {"Cancel"}, 0, 0}, kWindow);
    const ModalPanel moreLines(PanelContent{"Share", longMessage + longMessage, {"Cancel"}, 0, 0}, kWindow);
    const ModalPanel oneLine(PanelContent{"Share", "word", {"Cancel"}, 0, 0}, kWindow);
    EXPECT_DOUBLE_EQ(threeLines.cardRect().size.height, moreLines.cardRect().size.height);
    EXPECT_GT(threeLines.cardRect().size.height, oneLine.cardRect().size.height);
    EXPECT_LE(threeLines.cardRect().size.height, kWindow.height);
    // Bytes that are not UTF-8 are drawn, not refused.
    const ModalPanel invalid(PanelContent{"\xff\xfe", "caf\xe9", {"\xc3"}, 0, 0}, kWindow);
    EXPECT_GT(invalid.cardRect().size.height, 0);
}

TEST(ModalPanel, DrawsTheDimmedWindowAndTheHighlightedButton) {
    constexpr int kScale = 2;
    const auto drawn = [&](int highlighted) {
        ModalPanel panel(PanelContent{"Trillbox", "Message", {"Ok", "Other"}, 0, 1}, kWindow);
        panel.setHighlightedButton(highlighted);
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 352 * kScale, 140 * kScale);
        cairo_t* context = cairo_create(surface);
        cairo_set_source_rgb(context, 1, 1, 1);
        cairo_paint(context);
        cairo_scale(context, kScale, kScale);
        panel.draw(context);
        cairo_destroy(context);
        cairo_surface_flush(surface);
        return std::make_pair(UICairoSurface(surface), panel.buttonRect(1));
    };
    const auto pixelAt = [](const UICairoSurface& surface, CGPoint point) {
        const int stride = cairo_image_surface_get_stride(surface.get());
        const auto* row =
            cairo_image_surface_get_data(surface.get()) + static_cast<int>(point.y * kScale) * stride;
        return reinterpret_cast<const std::uint32_t*>(row)[static_cast<int>(point.x * kScale)];
    };
    const auto [plain, button] = drawn(-1);
    const auto [highlighted, sameButton] = drawn(1);
    // White under 55% black.
    EXPECT_EQ(pixelAt(plain, {1, 1}), 0xFF737373u);
    const CGPoint buttonCorner{button.origin.x + 3, button.origin.y + 3};
    EXPECT_NE(pixelAt(plain, buttonCorner), pixelAt(highlighted, buttonCorner));
    EXPECT_EQ(pixelAt(plain, {1, 1}), pixelAt(highlighted, {1, 1}));

    ModalPanel panel(PanelContent{"T", "", {"A"}, 0, 0}, kWindow);
    panel.setHighlightedButton(5);
    EXPECT_EQ(panel.highlightedButton(), -1);
}

} // namespace
