#include "MediaPlayer/MPVolumeView.h"

#include <algorithm>
#include <cmath>

#include "Foundation/NSNotificationCenter.h"
#include "MediaPlayer/MPSystemVolume.h"
#include "UIKit/UISlider.h"

Ptr<MPVolumeView> MPVolumeView::init() {
    return initWithFrame(CGRectZero);
}

Ptr<MPVolumeView> MPVolumeView::initWithFrame(CGRect frame) {
    if (!UIView::initWithFrame(frame)) {
        return nullptr;
    }
    auto me = self<MPVolumeView>();
    _volumeSlider = alloc<UISlider>()->initWithFrame(bounds());
    _volumeSlider->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    _volumeSlider->addTarget(me, &MPVolumeView::sliderValueChanged, UIControlEventValueChanged);
    addSubview(_volumeSlider);
    NSNotificationCenter::defaultCenter()->addObserver(me, &MPVolumeView::systemVolumeDidChange,
                                                       MPSystemVolumeDidChangeNotification, nullptr);
    showSystemVolume();
    return me;
}

void MPVolumeView::setVolumeThumbImage(const Ptr<UIImage>& image, UIControlState state) {
    _volumeSlider->setThumbImage(image, state);
}

Ptr<UIImage> MPVolumeView::volumeThumbImageForState(UIControlState state) const {
    return _volumeSlider->thumbImageForState(state);
}

void MPVolumeView::setMinimumVolumeSliderImage(const Ptr<UIImage>& image, UIControlState state) {
    _volumeSlider->setMinimumTrackImage(image, state);
}

Ptr<UIImage> MPVolumeView::minimumVolumeSliderImageForState(UIControlState state) const {
    return _volumeSlider->minimumTrackImageForState(state);
}

void MPVolumeView::setMaximumVolumeSliderImage(const Ptr<UIImage>& image, UIControlState state) {
    _volumeSlider->setMaximumTrackImage(image, state);
}

Ptr<UIImage> MPVolumeView::maximumVolumeSliderImageForState(UIControlState state) const {
    return _volumeSlider->maximumTrackImageForState(state);
}

BOOL MPVolumeView::showsVolumeSlider() const {
    return !_volumeSlider->isHidden();
}

void MPVolumeView::setShowsVolumeSlider(BOOL shows) {
    _volumeSlider->setHidden(!shows);
}

void MPVolumeView::layoutSubviews() {
    _volumeSlider->setFrame(bounds());
}

void MPVolumeView::systemVolumeDidChange(const Ptr<NSNotification>& notification) {
    // Another service than the installed one may still post; only the installed
    // one (or its replacement, which posts nil or itself) decides what is shown.
    if (notification->object() && notification->object() != MPSystemVolume::sharedService()) {
        return;
    }
    showSystemVolume();
}

void MPVolumeView::showSystemVolume() {
    const auto service = MPSystemVolume::sharedService();
    _volumeSlider->setEnabled(service != nullptr);
    if (_volumeSlider->isTracking()) {
        return; // the finger decides while it drags
    }
    const float volume = service ? service->volume() : 0.0f;
    _volumeSlider->setValue(std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f);
}

void MPVolumeView::sliderValueChanged() {
    if (const auto service = MPSystemVolume::sharedService()) {
        service->setVolume(std::clamp(_volumeSlider->value(), 0.0f, 1.0f));
    }
}
