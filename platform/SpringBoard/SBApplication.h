#pragma once

#include "Foundation/NSObject.h"

// The application that is playing, as the host describes it.
class SBApplication : public NSObject {
public:
    virtual BOOL isSystemApplication() const = 0;
};
