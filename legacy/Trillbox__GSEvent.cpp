#include "legacy/Trillbox__GSEvent.h"

void Trillbox__GSEvent::setLocation(CGPoint location) {
    const auto x = static_cast<float>(location.x);
    const auto y = static_cast<float>(location.y);
    x1 = x;
    y1 = y;
    x2 = x;
    y2 = y;
    x3 = x;
    y3 = y;
    sizeX = 1.0f;
    sizeY = 1.0f;
}

void Trillbox__GSEvent::setTouchPhase(UITouchPhase phase) {
    flags = phase == UITouchPhaseEnded ? kTouchEndedFlags : kTouchDownFlags;
    type = kTouchEventType;
}
