// Interface rotation of a window: announced, animated, and its end reported the
// way views that wait for a rotation expect it.
#include <algorithm>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSWhileAlive.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIWindow.h"

namespace {

constexpr const char* kOrientationUserInfoKey = "UIApplicationStatusBarOrientationUserInfoKey";
constexpr const char* kAnimationDidStopNotification = "UIViewAnimationDidStopNotification";
constexpr const char* kAnimationDelegateKey = "delegate";

bool isLandscape(NSInteger orientation) {
    return orientation == 3 || orientation == 4;
}

} // namespace

void UIWindow::rotateToInterfaceOrientation(NSInteger orientation) {
    auto* center = NSNotificationCenter::defaultCenter();
    center->postNotificationName(UIApplicationWillChangeStatusBarOrientationNotification,
                                 UIApplication::sharedApplication(),
                                 NSDictionary::dictionaryWithEntries(
                                     {{kOrientationUserInfoKey, NSNumber::numberWithInteger(orientation)}}));

    const CGRect current = bounds();
    const CGFloat longSide = std::max(current.size.width, current.size.height);
    const CGFloat shortSide = std::min(current.size.width, current.size.height);
    CGRect rotated = current;
    rotated.size =
        isLandscape(orientation) ? CGSizeMake(longSide, shortSide) : CGSizeMake(shortSide, longSide);

    const NSUInteger rotation = ++_rotationCount;
    UIView::animateWithDuration(
        kUIWindowRotationDuration, 0, UIViewAnimationOptionCurveEaseInOut,
        [this, rotated] { setBounds(rotated); },
        NSWhileAlive(self<UIWindow>(), [rotation](const Ptr<UIWindow>& window, BOOL) {
            // A newer rotation took over this one's animation and will report its own end.
            if (window->_rotationCount != rotation) {
                return;
            }
            NSNotificationCenter::defaultCenter()->postNotificationName(
                kAnimationDidStopNotification, window,
                NSDictionary::dictionaryWithEntries({{kAnimationDelegateKey, window}}));
        }));
}
