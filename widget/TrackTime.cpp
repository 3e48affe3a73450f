#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "Foundation/NSTimer.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

constexpr std::int32_t kSecondsPerHour = 3600;
constexpr std::int32_t kSecondsPerMinute = 60;

// The slider works at single precision. A value a float cannot hold saturates,
// and a player that reports no number at all reads as 0.
float sliderValue(double seconds) {
    if (std::isnan(seconds)) {
        return 0;
    }
    if (seconds >= static_cast<double>(FLT_MAX)) {
        return FLT_MAX;
    }
    if (seconds <= -static_cast<double>(FLT_MAX)) {
        return -FLT_MAX;
    }
    return static_cast<float>(seconds);
}

// Seconds as a 32-bit integer, truncated toward zero; NaN reads as 0 and values
// outside the range saturate.
std::int32_t wholeSeconds(double seconds) {
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(seconds)) {
        return 0;
    }
    if (seconds >= kHighest) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (seconds <= kLowest) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(seconds);
}

} // namespace

void TrillboxViewControllerNew::updateTiming(const Ptr<NSTimer>& timer) {
    const Ptr<SBMediaController>& media = SBMController;
    const Ptr<SBApplication> application = media ? media->nowPlayingApplication() : nullptr;
    if (_timeSlider) {
        // Only an application built into the system can be seeked from here.
        _timeSlider->setUserInteractionEnabled(application ? application->isSystemApplication() : NO);
        if (!sliderIsTouched) {
            _timeSlider->setMaximumValue(sliderValue(media ? media->trackDuration() : 0));
            _timeSlider->setValue(sliderValue(media ? media->trackElapsedTime() : 0));
        }
    }
    if (_lengthLabel) {
        const double duration = media ? media->trackDuration() : 0;
        const double elapsed = media ? media->trackElapsedTime() : 0;
        _lengthLabel->setText(doubleToTimeString(duration - elapsed));
    }
    if (_elapsedLabel) {
        _elapsedLabel->setText(doubleToTimeString(media ? media->trackElapsedTime() : 0));
    }
}

Ptr<NSString> TrillboxViewControllerNew::doubleToTimeString(double seconds) {
    const std::int32_t total = wholeSeconds(seconds);
    if (total > -kSecondsPerHour && total < kSecondsPerHour) {
        // Below an hour each field keeps the sign of the total.
        const std::int32_t minutes = total / kSecondsPerMinute;
        const std::int32_t remainder = total - kSecondsPerMinute * minutes;
        return NSString::stringWithFormat("%.2d:%.2d", minutes, remainder);
    }
    // 64 bits: the magnitude of the lowest 32-bit value does not fit in 32.
    const std::int64_t magnitude = std::abs(static_cast<std::int64_t>(total));
    return NSString::stringWithFormat("%s%d:%.2d:%.2d", total < 0 ? "-" : "", magnitude / kSecondsPerHour,
                                      magnitude % kSecondsPerHour / kSecondsPerMinute,
                                      magnitude % kSecondsPerMinute);
}

void TrillboxViewControllerNew::sliderDidInteractionByUser(const Ptr<UISlider>& slider) {
    sliderIsTouched = YES;
    const Ptr<UISlider>& source = slider ? slider : _timeSlider;
    if (SBMController && source) {
        SBMController->setCurrentTrackTime(source->value());
    }
}

void TrillboxViewControllerNew::sliderDidInteractionByUserStarted() {
    sliderIsTouched = YES;
}

void TrillboxViewControllerNew::sliderDidInteractionByUserStoped() {
    sliderIsTouched = NO;
}
