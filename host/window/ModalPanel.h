#pragma once

#include <string>
#include <vector>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"

namespace host {

// What a modal panel shows: a title, a message and a row of buttons.
struct PanelContent {
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
    // The buttons that Esc and Return press; -1 for none.
    int cancelButton = -1;
    int defaultButton = -1;
};

// An alert or the share sheet as the window draws it: the window dimmed, and a
// card in its middle with the title (one line), the message (up to three
// lines, wrapped) and the buttons side by side. Geometry is in the window's
// points; the drawing context's user space must be in those points too.
class ModalPanel {
public:
    static constexpr int kMessageLines = 3;

    ModalPanel(PanelContent content, CGSize windowSize);

    const PanelContent& content() const { return _content; }
    CGRect cardRect() const { return _card; }
    // The rectangle of button `index`; the zero rectangle out of range.
    CGRect buttonRect(int index) const;
    // The button under `windowPoint`; -1 for none.
    int buttonAt(CGPoint windowPoint) const;

    // The button the pointer holds down, drawn highlighted; -1 for none.
    int highlightedButton() const { return _highlighted; }
    void setHighlightedButton(int index);

    // Dims everything already drawn in `windowSize` and draws the card over it.
    void draw(cairo_t* context) const;
    // Draws only the card, over what is drawn: a notice that leaves the window usable.
    void drawCard(cairo_t* context) const;

private:
    PanelContent _content;
    CGSize _windowSize;
    CGRect _card{};
    CGRect _titleRect{};
    CGRect _messageRect{};
    std::vector<CGRect> _buttons;
    int _highlighted = -1;
};

} // namespace host
