#include "SpringBoard/BBWeeAppController.h"

#include "UIKit/UIView.h"

// Defined here so that the interface's type information lives in the platform
// library alone: a host and a bundle it loads then agree on it.
BBWeeAppController::~BBWeeAppController() = default;

BOOL BBWeeAppController::respondsToOptionalOperation(BBWeeAppControllerOperation) const {
    return NO;
}

void BBWeeAppController::loadPlaceholderView() {}
void BBWeeAppController::loadFullView() {}
void BBWeeAppController::loadView() {}
void BBWeeAppController::unloadView() {}
void BBWeeAppController::clearShapshotImage() {}

Ptr<NSString> BBWeeAppController::launchURL() {
    return nullptr;
}

Ptr<NSString> BBWeeAppController::launchURLForTapLocation(CGPoint) {
    return nullptr;
}

float BBWeeAppController::viewHeight() {
    return 0;
}

void BBWeeAppController::viewWillAppear() {}
void BBWeeAppController::viewDidAppear() {}
void BBWeeAppController::viewWillDisappear() {}
void BBWeeAppController::viewDidDisappear() {}
void BBWeeAppController::willAnimateRotationToInterfaceOrientation(NSInteger) {}
void BBWeeAppController::willRotateToInterfaceOrientation(NSInteger) {}
void BBWeeAppController::didRotateFromInterfaceOrientation(NSInteger) {}
