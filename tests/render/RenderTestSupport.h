#pragma once

#include <string>

#include <gtest/gtest.h>

#include "UIKit/UIColor.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"
#include "render/Snapshot.h"
#include "support/TestSupport.h"

// The largest difference per colour channel (0...255) between a drawn image and its
// stored image that still counts as equal: room for antialiasing that differs
// between library builds, not for a moved edge.
inline constexpr int kGoldenChannelTolerance = 3;

// Whether two images have the same size and pixels within `tolerance` per channel.
::testing::AssertionResult samePixels(const UICairoSurface& a, const UICairoSurface& b, int tolerance = 0);

// Whether `surface` matches the stored image `name`.png within kGoldenChannelTolerance.
// With TRILLBOX_UPDATE_GOLDEN=1 the stored image is rewritten instead; on a mismatch
// the drawn image is written to the failures directory.
::testing::AssertionResult matchesGolden(const UICairoSurface& surface, const std::string& name);

// A view of `frame` filled with `color` (nil for none), added to `parent` when given.
Ptr<UIView> makeView(CGRect frame, const Ptr<UIColor>& color, const Ptr<UIView>& parent = nullptr);

// Drawing on the manual clock. The program draws with the Pango text measurement
// on a main screen of scale 1, and no test changes either.
using RenderTest = PlatformTest;
