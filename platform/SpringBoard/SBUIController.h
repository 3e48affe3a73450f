#pragma once

#include "Foundation/NSObject.h"

class SBApplication;

// The host's UI controller, registered by a host under the name "SBUIController"
// with the class operation `sharedInstance`.
class SBUIController : public NSObject {
public:
    // Brings `application` to the front, animated; the result is not read.
    virtual void activateApplicationAnimated(const Ptr<SBApplication>& application) = 0;
};
