#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UIView.h"

class NSNotification;
class UIImage;
class UISlider;

// The system volume slider: a slider filling the view, bound to the host's system
// volume service (MPSystemVolume::sharedService). Dragging it sets the system
// volume; a volume change from elsewhere moves it, except while the user drags.
// With no service installed it shows 0 and takes no touches.
class MPVolumeView : public UIView {
public:
    Ptr<MPVolumeView> init();
    Ptr<MPVolumeView> initWithFrame(CGRect frame);

    // Images of the slider per state (see UIControlStateTable).
    void setVolumeThumbImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> volumeThumbImageForState(UIControlState state) const;
    void setMinimumVolumeSliderImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> minimumVolumeSliderImageForState(UIControlState state) const;
    void setMaximumVolumeSliderImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> maximumVolumeSliderImageForState(UIControlState state) const;

    // Whether the slider is shown (default YES).
    BOOL showsVolumeSlider() const;
    void setShowsVolumeSlider(BOOL shows);

    // The slider inside, for drawing and inspection.
    const Ptr<UISlider>& volumeSlider() const { return _volumeSlider; }

    void layoutSubviews() override;

private:
    void systemVolumeDidChange(const Ptr<NSNotification>& notification);
    void sliderValueChanged();
    void showSystemVolume();

    Ptr<UISlider> _volumeSlider;
};
