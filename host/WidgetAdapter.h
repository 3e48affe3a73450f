#pragma once

#include <memory>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRuntime.h"

class UIView;

namespace host {

// How the host drives one kind of widget controller: the newer host's widget
// view controller, or the older host's widget-controller protocol. Its
// destructor notifies nobody: the host calls tearDown first.
class WidgetAdapter {
public:
    virtual ~WidgetAdapter() = default;

    // Lets the widget go before the adapter is destroyed: a presented widget is
    // told it is dismissed, so that nothing it scheduled holds it.
    virtual void tearDown() = 0;
    // The widget's root view (built by the adapter's creation).
    virtual Ptr<UIView> view() const = 0;
    virtual void present() = 0;
    virtual void dismiss() = 0;
    // True when the widget takes touches through its window; false when the host
    // only reports tap locations (tapAt).
    virtual bool takesTouches() const = 0;
    // Reports a tap at a point of the widget's view.
    virtual void tapAt(CGPoint point) = 0;
};

// Creates the newer host's controller of `cls` with `init` and builds its view:
// loadView, preferredViewSize, viewDidLoad. Throws HostFailure when the class is
// not a widget view controller, its init fails or it installs no view.
std::unique_ptr<WidgetAdapter> makeWidgetViewControllerAdapter(Class cls);

// Creates the older host's controller of `cls` with `init`, asks for its view
// and height, lays the view out as a strip `width` points wide and loads its
// placeholder and full view. Throws HostFailure as above.
std::unique_ptr<WidgetAdapter> makeLegacyControllerAdapter(Class cls, CGFloat width);

} // namespace host
