#pragma once

#include <vector>

#include "Foundation/NSObject.h"
#include "window/ModalPanel.h"

class UIAlertView;

namespace host {

// An alert as a panel: its title, message and buttons in the alert's order (the
// cancel button first). Esc presses the cancel button; Return presses the first
// other button, or the cancel button when there is no other. An alert without
// buttons gets an "OK" that closes it as its cancel button would, so that no
// alert can shut the window off for good.
struct AlertPanel {
    PanelContent content;
    // The alert's button index for each button of the panel.
    std::vector<NSInteger> alertIndices;
};

AlertPanel makeAlertPanel(const UIAlertView& alert);

} // namespace host
