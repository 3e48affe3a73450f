// Buttons, sliders and the volume view.
#include "MediaPlayer/MPVolumeView.h"
#include "RenderTestSupport.h"
#include "support/SampleTree.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIColor.h"
#include "UIKit/UISlider.h"

namespace {

class ControlDrawingTest : public RenderTest {
protected:
    Ptr<UISlider> makeSlider(bool withImages) {
        auto slider = alloc<UISlider>()->initWithFrame(CGRectMake(0, 0, 100, 20));
        if (withImages) {
            slider->setMinimumTrackImage(sample::sliderTrackImage(0, 0, 1, 2), UIControlStateNormal);
            slider->setMaximumTrackImage(sample::sliderTrackImage(0.5, 0.5, 0.5, 2), UIControlStateNormal);
            slider->setThumbImage(sample::sliderThumbImage(2), UIControlStateNormal);
        }
        return slider;
    }
};

TEST_F(ControlDrawingTest, SliderWithImagesAtZeroHalfAndFull) {
    auto slider = makeSlider(true);
    const char* names[] = {"slider-images-0", "slider-images-50", "slider-images-100"};
    const float values[] = {0, 0.5f, 1};
    for (int index = 0; index < 3; ++index) {
        slider->setValue(values[index]);
        const auto drawn = render::snapshot(slider, 2);
        EXPECT_TRUE(matchesGolden(drawn, names[index]));
        // The thumb (14 points) travels 86 points; left of its centre the track is
        // the minimum image (blue), right of it the maximum image (grey).
        const int centre = static_cast<int>((7 + 86 * values[index]) * 2);
        if (centre > 24) {
            EXPECT_EQ(pixelAt(drawn, centre - 20, 20).blue, 255) << values[index];
            EXPECT_EQ(pixelAt(drawn, centre - 20, 20).red, 0) << values[index];
        }
        if (centre < 176) {
            EXPECT_EQ(pixelAt(drawn, centre + 20, 20).red, 128) << values[index];
        }
        EXPECT_GT(pixelAt(drawn, centre, 20).red, 240) << "thumb at " << values[index];
    }
}

TEST_F(ControlDrawingTest, SliderWithoutImagesHasPlainLook) {
    auto slider = makeSlider(false);
    const char* names[] = {"slider-plain-0", "slider-plain-50", "slider-plain-100"};
    const float values[] = {0, 0.5f, 1};
    for (int index = 0; index < 3; ++index) {
        slider->setValue(values[index]);
        EXPECT_TRUE(matchesGolden(render::snapshot(slider, 2), names[index]));
    }
}

TEST_F(ControlDrawingTest, VolumeViewDrawsItsSlider) {
    auto volume = alloc<MPVolumeView>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    volume->setMinimumVolumeSliderImage(sample::sliderTrackImage(0, 0, 1, 2), UIControlStateNormal);
    volume->setMaximumVolumeSliderImage(sample::sliderTrackImage(0.5, 0.5, 0.5, 2), UIControlStateNormal);
    volume->setVolumeThumbImage(sample::sliderThumbImage(2), UIControlStateNormal);
    volume->layoutIfNeeded();
    auto slider = makeSlider(true);
    slider->setValue(volume->volumeSlider()->value());
    EXPECT_TRUE(samePixels(render::snapshot(volume, 2), render::snapshot(slider, 2)));
}

TEST_F(ControlDrawingTest, ButtonCentresItsNormalImageAndDarkensWhenHighlighted) {
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(0, 0, 40, 30));
    button->setImage(sample::buttonGlyph(true, 2), UIControlStateNormal);
    const auto normal = render::snapshot(button, 2);
    EXPECT_TRUE(matchesGolden(normal, "button-normal"));
    // The 20-point glyph sits at (10, 5); its triangle's left edge is 5 points in.
    EXPECT_EQ(pixelAt(normal, 2 * 17, 2 * 15).alpha, 255);
    EXPECT_EQ(pixelAt(normal, 2 * 13, 2 * 15).alpha, 0);
    EXPECT_EQ(pixelAt(normal, 2 * 17, 2 * 15).red, 255);

    button->setHighlighted(true);
    const auto highlighted = render::snapshot(button, 2);
    EXPECT_TRUE(matchesGolden(highlighted, "button-highlighted"));
    EXPECT_EQ(pixelAt(highlighted, 2 * 17, 2 * 15).alpha, 255);
    EXPECT_NEAR(pixelAt(highlighted, 2 * 17, 2 * 15).red, 170, 2);
    EXPECT_EQ(pixelAt(highlighted, 2 * 13, 2 * 15).alpha, 0) << "darkening stays on the image";

    button->setAdjustsImageWhenHighlighted(false);
    EXPECT_TRUE(samePixels(render::snapshot(button, 2), normal));
}

TEST_F(ControlDrawingTest, ButtonStretchesItsBackgroundImage) {
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(0, 0, 30, 6));
    button->setBackgroundImage(sample::trackImage(1)->stretchableImageWithLeftCapWidth(4, 0),
                               UIControlStateNormal);
    const auto drawn = render::snapshot(button, 1);
    EXPECT_EQ(pixelAt(drawn, 1, 3).red, 255);
    EXPECT_EQ(pixelAt(drawn, 15, 3).green, 255);
    EXPECT_EQ(pixelAt(drawn, 28, 3).blue, 255);
}

} // namespace
