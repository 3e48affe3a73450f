// UIImageView: drawing the image.
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImageView.h"

void UIImageView::drawRect(CGRect rect) {
    if (!_image) {
        return;
    }
    UIImageDrawInRect(*_image, UIImageViewImageRect(bounds(), _image->size(), contentMode()));
}
