#include "UIKit/UIGraphicsHandles.h"

#include <pango/pangocairo.h>

void UIGObjectUnref::operator()(void* object) const {
    g_object_unref(object);
}

void UIPangoFontDescriptionFree::operator()(PangoFontDescription* description) const {
    pango_font_description_free(description);
}
