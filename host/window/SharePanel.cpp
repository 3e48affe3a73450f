#include "window/SharePanel.h"

#include "Foundation/NSCollections.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIImage.h"
#include "host/HostFailure.h"
#include "render/Snapshot.h"
#include "window/ArtworkSaver.h"

namespace host {
namespace {

constexpr const char* kArtworkFileStem = "trillbox-artwork";

const char* choiceTitle(ShareChoice choice) {
    switch (choice) {
    case ShareChoice::copy:
        return "Copy";
    case ShareChoice::saveArtwork:
        return "Save Artwork";
    case ShareChoice::cancel:
        return "Cancel";
    }
    return "";
}

} // namespace

SharePanel makeSharePanel(const UIActivityViewController& sheet) {
    SharePanel panel;
    bool hasText = false;
    for (const auto& item : sheet.activityItems()->objects()) {
        if (const auto string = as<NSString>(item)) {
            panel.text += (hasText ? "\n" : "") + std::string(string->UTF8String());
            hasText = true;
        } else if (const auto image = as<UIImage>(item); image && !panel.image && image->cairoSurface()) {
            panel.image = image;
        }
    }
    if (hasText) {
        panel.choices.push_back(ShareChoice::copy);
    }
    if (panel.image) {
        panel.choices.push_back(ShareChoice::saveArtwork);
    }
    panel.choices.push_back(ShareChoice::cancel);

    panel.content.title = "Share";
    panel.content.message = panel.text;
    for (const ShareChoice choice : panel.choices) {
        panel.content.buttons.emplace_back(choiceTitle(choice));
    }
    panel.content.cancelButton = static_cast<int>(panel.choices.size()) - 1;
    panel.content.defaultButton = 0;
    return panel;
}

ShareOutcome performShareChoice(const Ptr<UIActivityViewController>& sheet, const SharePanel& panel,
                                ShareChoice choice, const ShareServices& services) {
    // The caller's reference may be the presenter's, which the dismissal drops.
    const Ptr<UIActivityViewController> keepAlive = sheet;
    ShareOutcome outcome;
    outcome.choice = choice;
    Ptr<NSString> activityType;
    switch (choice) {
    case ShareChoice::copy:
        if (panel.text.empty() || !services.copyText || !services.copyText(panel.text)) {
            outcome.failure = "cannot put the text on the clipboard";
        } else {
            activityType = NSStr(kActivityTypeCopyToPasteboard);
        }
        break;
    case ShareChoice::saveArtwork:
        try {
            if (!panel.image || !services.saveImage) {
                throw HostFailure("there is no artwork to save");
            }
            outcome.savedPath = services.saveImage(*panel.image);
            activityType = NSStr(kActivityTypeSaveToCameraRoll);
        } catch (const HostFailure& failure) {
            outcome.failure = failure.what();
        }
        break;
    case ShareChoice::cancel:
        break;
    }
    outcome.completed = activityType != nullptr;
    keepAlive->finishWithActivityType(activityType, outcome.completed);
    return outcome;
}

std::string shareNotice(const ShareOutcome& outcome, const std::string& homeDirectory) {
    std::string notice;
    if (!outcome.failure.empty()) {
        notice = (outcome.choice == ShareChoice::copy ? "Not copied: " : "Not saved: ") + outcome.failure;
    } else if (outcome.completed) {
        notice = outcome.choice == ShareChoice::copy ? "Copied" : "Saved to " + outcome.savedPath;
    }
    std::string home = homeDirectory;
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    // Only a path that starts in the home directory; a home of "/" would turn
    // every path into one.
    home += '/';
    const bool shortenable = home.size() > 2 && home.front() == '/';
    for (auto at = notice.find(home); shortenable && at != std::string::npos;
         at = notice.find(home, at + 1)) {
        if (at == 0 || notice[at - 1] == ' ') {
            notice.replace(at, home.size(), "~/");
        }
    }
    return notice;
}

std::string saveArtworkImage(const UIImage& image) {
    const std::vector<unsigned char> png = render::encodePNG(image.surface());
    if (png.empty()) {
        throw HostFailure("cannot encode the artwork as PNG");
    }
    return saveUniquePng(artworkDirectory(processEnvironment()), kArtworkFileStem, png);
}

} // namespace host
