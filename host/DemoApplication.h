#pragma once

#include <string>

#include "SpringBoard/SBApplication.h"

namespace host {

// The demo player as the widget sees the playing application.
class DemoApplication : public SBApplication {
public:
    // Built into the system: the widget's time slider takes touches for it.
    BOOL isSystemApplication() const override { return YES; }
    std::string description() const override { return "Trillbox Demo Player"; }
};

} // namespace host
