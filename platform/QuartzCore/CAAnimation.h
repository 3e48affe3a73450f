#pragma once

#include "Foundation/NSObject.h"
#include "QuartzCore/CALayer.h"

// An animation of one layer property. (The animation engine fills this in.)
class CAAnimation : public NSObject {};
