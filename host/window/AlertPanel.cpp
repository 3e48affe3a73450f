#include "window/AlertPanel.h"

#include "UIKit/UIAlertView.h"

namespace host {
namespace {

std::string text(const Ptr<NSString>& string) {
    return string ? string->UTF8String() : std::string();
}

} // namespace

AlertPanel makeAlertPanel(const UIAlertView& alert) {
    AlertPanel panel;
    panel.content.title = text(alert.title());
    panel.content.message = text(alert.message());
    for (NSInteger index = 0; index < alert.numberOfButtons(); ++index) {
        panel.content.buttons.push_back(text(alert.buttonTitleAtIndex(index)));
        panel.alertIndices.push_back(index);
    }
    if (panel.content.buttons.empty()) {
        panel.content.buttons.push_back("OK");
        panel.alertIndices.push_back(alert.cancelButtonIndex());
        panel.content.cancelButton = 0;
        panel.content.defaultButton = 0;
        return panel;
    }
    const NSInteger cancel = alert.cancelButtonIndex();
    panel.content.cancelButton =
        cancel >= 0 && cancel < alert.numberOfButtons() ? static_cast<int>(cancel) : -1;
    const NSInteger firstOther = alert.firstOtherButtonIndex();
    panel.content.defaultButton = firstOther >= 0 && firstOther < alert.numberOfButtons()
                                      ? static_cast<int>(firstOther)
                                      : panel.content.cancelButton;
    return panel;
}

} // namespace host
