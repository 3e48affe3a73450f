#pragma once

#include "Foundation/NSString.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIControlStateTable.h"

class UIImage;

enum UIButtonType : NSInteger {
    UIButtonTypeCustom = 0,
    UIButtonTypeSystem = 1,
    UIButtonTypeDetailDisclosure = 2,
    UIButtonTypeInfoLight = 3,
    UIButtonTypeInfoDark = 4,
    UIButtonTypeContactAdd = 5,
    UIButtonTypeRoundedRect = UIButtonTypeSystem,
};

// A control that shows an image (and optionally a title) per control state and
// sends its actions when pressed.
//
// Per-state values follow UIControlStateTable: a state without its own value
// shows the normal state's.
class UIButton : public UIControl {
public:
    static Ptr<UIButton> buttonWithType(UIButtonType type);
    Ptr<UIButton> init();
    Ptr<UIButton> initWithFrame(CGRect frame);

    void setImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> imageForState(UIControlState state) const;
    void setBackgroundImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> backgroundImageForState(UIControlState state) const;
    void setTitle(const Ptr<NSString>& title, UIControlState state);
    Ptr<NSString> titleForState(UIControlState state) const;
    // The values for the current state.
    Ptr<UIImage> currentImage() const { return imageForState(state()); }
    Ptr<UIImage> currentBackgroundImage() const { return backgroundImageForState(state()); }
    Ptr<NSString> currentTitle() const { return titleForState(state()); }

    // The current image's size (or the background image's when there is no image).
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    // Draws the background image over the bounds, then the image (and title) centred;
    // the images darker while highlighted.
    void drawRect(CGRect rect) override;

private:
    void stateValueDidChange();

    UIButtonType _buttonType = UIButtonTypeCustom;
    UIControlStateTable<UIImage> _images;
    UIControlStateTable<UIImage> _backgroundImages;
    UIControlStateTable<NSString> _titles;
};
