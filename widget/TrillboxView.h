#pragma once

#include "UIKit/UIView.h"

class UIImage;
class UIImageView;

// The root view of both widget controllers: a transparent container with an
// optional stretchable background image, kept inset 2 points from the left and
// right edges and spanning the full height.
class TrillboxView : public UIView {
public:
    Ptr<TrillboxView> initWithFrame(CGRect frame);
    ~TrillboxView() override;

    // Shows `image` behind the content added so far, or removes the background for
    // nil. The image view gets its frame at the next layout pass.
    void setBackgroundImage(const Ptr<UIImage>& image);
    // The view showing the background image; nil while there is none.
    const Ptr<UIImageView>& backgroundImageView() const { return _backgroundImageView; }
    void layoutSubviews() override;
    // Does nothing; the older host's controller passes its own loadFullView on.
    void loadFullView() {}

private:
    Ptr<UIImageView> _backgroundImageView;
};
