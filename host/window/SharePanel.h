#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Foundation/NSObject.h"
#include "window/ModalPanel.h"

class UIActivityViewController;
class UIImage;

namespace host {

// The share sheet's activity types for what the window offers.
inline constexpr const char* kActivityTypeCopyToPasteboard = "com.apple.UIKit.activity.CopyToPasteboard";
inline constexpr const char* kActivityTypeSaveToCameraRoll = "com.apple.UIKit.activity.SaveToCameraRoll";

enum class ShareChoice { copy, saveArtwork, cancel };

// The share sheet as a panel: the shared text as its message, and the choices
// "Copy" (when there is text), "Save Artwork" (when an image is shared) and
// "Cancel". Esc cancels; Return copies (or saves, with only an image).
struct SharePanel {
    // The sheet's text items, one a line, in order.
    std::string text;
    // The first image item; nil for none.
    Ptr<UIImage> image;
    std::vector<ShareChoice> choices;
    PanelContent content;
};

SharePanel makeSharePanel(const UIActivityViewController& sheet);

// What carrying out a choice needs from the desktop.
struct ShareServices {
    // Puts text on the clipboard; answers false when it could not.
    std::function<bool(const std::string& text)> copyText;
    // Saves the image as a file and answers its path; throws HostFailure when it
    // cannot.
    std::function<std::string(const UIImage& image)> saveImage;
    // The user's home directory, shown as ~ in what the window says about files.
    std::string homeDirectory;
};

// How a choice went, for the user.
struct ShareOutcome {
    ShareChoice choice = ShareChoice::cancel;
    bool completed = false;
    // The saved file's path; empty when nothing was saved.
    std::string savedPath;
    // Why the choice failed; empty when it did not.
    std::string failure;
};

// Carries out `choice` and finishes the sheet: with the choice's activity type
// and completed true when it worked, with nil and false when it was cancelled or
// failed. The sheet finishes in every case, so it never stays up.
ShareOutcome performShareChoice(const Ptr<UIActivityViewController>& sheet, const SharePanel& panel,
                                ShareChoice choice, const ShareServices& services);

// The short message the window shows after a choice: "Copied", "Saved to
// ~/Pictures/a.png", or what failed and why ("Not saved: ..."), with paths in
// `homeDirectory` written from ~. Empty after a cancel.
std::string shareNotice(const ShareOutcome& outcome, const std::string& homeDirectory);

// Saves `image` as a PNG in the artwork directory of the process's environment
// (see artworkDirectory), never replacing a file.
std::string saveArtworkImage(const UIImage& image);

} // namespace host
