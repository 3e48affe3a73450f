#include "UIKit/UIView.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "Foundation/NSCoder.h"
#include "Foundation/NSRunLoop.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"

namespace {

// Hierarchies waiting for the layout pass at the next run-loop pass.
struct PendingLayout {
    NSRunLoop::TaskId task = 0;
    std::vector<WeakPtr<UIView>> roots;
};

PendingLayout& pendingLayout() {
    static PendingLayout pending;
    return pending;
}

void runLayoutPass() {
    auto roots = std::move(pendingLayout().roots);
    pendingLayout().roots.clear();
    pendingLayout().task = 0;
    for (const auto& weakRoot : roots) {
        if (const auto root = weakRoot.lock()) {
            root->layoutIfNeeded();
        }
    }
}

// Lays out `root`'s hierarchy at the next run-loop pass, as the platform does at
// the end of the current event.
void scheduleLayoutPass(const Ptr<UIView>& root) {
    auto& pending = pendingLayout();
    const bool known = std::any_of(pending.roots.begin(), pending.roots.end(),
                                   [&](const WeakPtr<UIView>& entry) { return entry.lock() == root; });
    if (!known) {
        pending.roots.push_back(root);
    }
    auto* runLoop = NSRunLoop::mainRunLoop();
    // A run loop that was reset dropped the task: schedule a new one.
    if (pending.task == 0 || !runLoop->isScheduled(pending.task)) {
        pending.task = runLoop->performSoon(runLayoutPass);
    }
}

bool isFinite(CGRect rect) {
    return std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width) &&
           std::isfinite(rect.size.height);
}

// One axis of autoresizing: the parts marked flexible (leading margin, size,
// trailing margin) share the change of the superview's extent in proportion to
// their current lengths, or equally when those are all zero.
void resizeAxis(CGFloat oldExtent, CGFloat newExtent, CGFloat& origin, CGFloat& size, bool flexibleLeading,
                bool flexibleSize, bool flexibleTrailing) {
    const CGFloat delta = newExtent - oldExtent;
    const int flexibleCount = int(flexibleLeading) + int(flexibleSize) + int(flexibleTrailing);
    if (delta == 0 || flexibleCount == 0) {
        return;
    }
    const CGFloat leading = origin;
    const CGFloat trailing = oldExtent - (origin + size);
    const CGFloat total =
        (flexibleLeading ? leading : 0) + (flexibleSize ? size : 0) + (flexibleTrailing ? trailing : 0);
    auto share = [&](bool flexible, CGFloat length) {
        if (!flexible) {
            return 0.0;
        }
        return total > 0 ? delta * length / total : delta / flexibleCount;
    };
    const CGFloat leadingChange = share(flexibleLeading, leading);
    const CGFloat sizeChange = share(flexibleSize, size);
    origin += leadingChange;
    size = std::max(0.0, size + sizeChange);
}

} // namespace

Ptr<UIView> UIView::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UIView> UIView::initWithFrame(CGRect frame) {
    NSObject::init();
    setUpLayer();
    setFrame(frame);
    return self<UIView>();
}

Ptr<UIView> UIView::initWithCoder(const Ptr<NSCoder>& coder) {
    NSObject::init();
    if (!coder) {
        return nullptr;
    }
    setUpLayer();
    const CGRect frame = CGRectStandardize(coder->decodeCGRectForKey("frame"));
    if (isFinite(frame)) {
        _layer->setFrame(frame);
    }
    _tag = coder->decodeIntegerForKey("tag");
    _layer->setHidden(coder->decodeBoolForKey("hidden"));
    if (coder->containsValueForKey("alpha")) {
        const double alpha = coder->decodeDoubleForKey("alpha");
        _layer->setOpacity(std::isnan(alpha) ? 1.0f : static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    }
    _backgroundColor = coder->decodeObjectOfClass<UIColor>("backgroundColor");
    _layer->setMasksToBounds(coder->decodeBoolForKey("clipsToBounds"));
    if (coder->containsValueForKey("userInteractionEnabled")) {
        _userInteractionEnabled = coder->decodeBoolForKey("userInteractionEnabled");
    }
    _multipleTouchEnabled = coder->decodeBoolForKey("multipleTouchEnabled");
    _contentMode = static_cast<UIViewContentMode>(coder->decodeIntegerForKey("contentMode"));
    _autoresizingMask = static_cast<UIViewAutoresizing>(coder->decodeIntegerForKey("autoresizingMask"));
    if (coder->containsValueForKey("autoresizesSubviews")) {
        _autoresizesSubviews = coder->decodeBoolForKey("autoresizesSubviews");
    }
    return self<UIView>();
}

UIView::~UIView() = default;

void UIView::setUpLayer() {
    if (_layer) {
        return;
    }
    _layer = makeLayer();
    assert(_layer);
    _layer->setDelegate(weakSelf<UIView>());
}

// MARK: Geometry

CGRect UIView::frame() const {
    return _layer->frame();
}

void UIView::setFrame(CGRect frame) {
    frame = CGRectStandardize(frame);
    if (!isFinite(frame)) {
        return;
    }
    const CGRect bounds = _layer->bounds();
    _layer->setPosition(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)));
    if (!CGSizeEqualToSize(frame.size, bounds.size)) {
        // Through the overridable setter, so that subclasses see every size change.
        setBounds(CGRectMake(bounds.origin.x, bounds.origin.y, frame.size.width, frame.size.height));
    }
}

CGRect UIView::bounds() const {
    return _layer->bounds();
}

void UIView::setBounds(CGRect bounds) {
    bounds = CGRectStandardize(bounds);
    if (!isFinite(bounds)) {
        return;
    }
    const CGRect old = _layer->bounds();
    if (CGRectEqualToRect(old, bounds)) {
        return;
    }
    _layer->setBounds(bounds);
    if (CGSizeEqualToSize(old.size, bounds.size)) {
        return;
    }
    if (_autoresizesSubviews) {
        resizeSubviewsWithOldSize(old.size);
    }
    setNeedsLayout();
    if (_contentMode == UIViewContentModeRedraw) {
        setNeedsDisplay();
    }
}

CGPoint UIView::center() const {
    return _layer->position();
}

void UIView::setCenter(CGPoint center) {
    if (!std::isfinite(center.x) || !std::isfinite(center.y)) {
        return;
    }
    _layer->setPosition(center);
}

CGRect UIView::presentationFrame() const {
    return _layer->presentationFrame();
}

void UIView::resizeSubviewsWithOldSize(CGSize oldSize) {
    // A subview's resize may reorder the subviews: walk a copy.
    const auto subviews = _subviews;
    for (const auto& subview : subviews) {
        subview->resizeWithOldSuperviewSize(oldSize);
    }
}

void UIView::resizeWithOldSuperviewSize(CGSize oldSize) {
    const auto parent = superview();
    if (!parent || _autoresizingMask == UIViewAutoresizingNone) {
        return;
    }
    const CGSize newSize = parent->bounds().size;
    CGRect frame = this->frame();
    const auto mask = _autoresizingMask;
    resizeAxis(oldSize.width, newSize.width, frame.origin.x, frame.size.width,
               mask & UIViewAutoresizingFlexibleLeftMargin, mask & UIViewAutoresizingFlexibleWidth,
               mask & UIViewAutoresizingFlexibleRightMargin);
    resizeAxis(oldSize.height, newSize.height, frame.origin.y, frame.size.height,
               mask & UIViewAutoresizingFlexibleTopMargin, mask & UIViewAutoresizingFlexibleHeight,
               mask & UIViewAutoresizingFlexibleBottomMargin);
    setFrame(frame);
}

// MARK: Hierarchy

void UIView::addSubview(const Ptr<UIView>& view) {
    insertSubview(view, static_cast<NSInteger>(_subviews.size()));
}

void UIView::insertSubview(const Ptr<UIView>& view, NSInteger index) {
    // A view cannot contain itself or one of its ancestors.
    if (!view || view.get() == this || isDescendantOfView(view.get())) {
        return;
    }
    const auto keepView = view;
    const auto me = self<UIView>();

    if (view->superview() == me) {
        // Only the order changes.
        std::erase(_subviews, view);
        const auto position = static_cast<std::size_t>(std::clamp<NSInteger>(index, 0, _subviews.size()));
        _subviews.insert(_subviews.begin() + static_cast<std::ptrdiff_t>(position), view);
        insertLayerOfSubviewAt(position);
        return;
    }

    const auto oldWindow = view->window();
    const auto newWindow = window();
    view->willMoveToSuperview(me);
    if (oldWindow != newWindow) {
        view->notifyWillMoveToWindow(newWindow);
    }
    if (const auto oldSuperview = view->superview()) {
        oldSuperview->willRemoveSubview(view);
        oldSuperview->detachSubview(view.get());
    }
    const auto position = static_cast<std::size_t>(std::clamp<NSInteger>(index, 0, _subviews.size()));
    _subviews.insert(_subviews.begin() + static_cast<std::ptrdiff_t>(position), view);
    view->_superview = me;
    insertLayerOfSubviewAt(position);
    if (oldWindow != newWindow) {
        view->setWindowDidChange(oldWindow, newWindow);
    }
    view->didMoveToSuperview();
    didAddSubview(view);
    setNeedsLayout();
}

void UIView::bringSubviewToFront(const Ptr<UIView>& view) {
    if (view && view->superview().get() == this) {
        insertSubview(view, static_cast<NSInteger>(_subviews.size()));
    }
}

void UIView::removeFromSuperview() {
    const auto parent = superview();
    if (!parent) {
        return;
    }
    // The superview may hold the last reference to this view.
    const auto me = self<UIView>();
    const auto oldWindow = window();
    parent->willRemoveSubview(me);
    willMoveToSuperview(nullptr);
    if (oldWindow) {
        notifyWillMoveToWindow(nullptr);
    }
    parent->detachSubview(this);
    if (oldWindow) {
        setWindowDidChange(oldWindow, nullptr);
    }
    didMoveToSuperview();
    parent->setNeedsLayout();
}

void UIView::detachSubview(UIView* view) {
    const auto found = std::find_if(_subviews.begin(), _subviews.end(),
                                    [view](const Ptr<UIView>& entry) { return entry.get() == view; });
    if (found == _subviews.end()) {
        return;
    }
    const auto keep = *found;
    _subviews.erase(found);
    if (keep->_layer->superlayer() == _layer) {
        keep->_layer->removeFromSuperlayer();
    }
    keep->_superview.reset();
}

void UIView::insertLayerOfSubviewAt(std::size_t index) {
    const auto& layer = _subviews[index]->_layer;
    // Other layers may sit among the subviews' layers: go before the next subview's layer.
    std::size_t layerIndex = _layer->sublayers().size();
    if (layer->superlayer() == _layer) {
        layer->removeFromSuperlayer();
        layerIndex = _layer->sublayers().size();
    }
    for (std::size_t next = index + 1; next < _subviews.size(); ++next) {
        const auto& sublayers = _layer->sublayers();
        const auto found = std::find(sublayers.begin(), sublayers.end(), _subviews[next]->_layer);
        if (found != sublayers.end()) {
            layerIndex = static_cast<std::size_t>(found - sublayers.begin());
            break;
        }
    }
    _layer->insertSublayer(layer, layerIndex);
}

BOOL UIView::isDescendantOfView(const UIView* view) const {
    if (!view) {
        return NO;
    }
    if (view == this) {
        return YES;
    }
    for (auto ancestor = superview(); ancestor; ancestor = ancestor->superview()) {
        if (ancestor.get() == view) {
            return YES;
        }
    }
    return NO;
}

Ptr<UIView> UIView::viewWithTag(NSInteger tag) {
    if (_tag == tag) {
        return self<UIView>();
    }
    for (const auto& subview : _subviews) {
        if (auto found = subview->viewWithTag(tag)) {
            return found;
        }
    }
    return nullptr;
}

Ptr<UIWindow> UIView::window() const {
    const auto parent = superview();
    return parent ? parent->window() : nullptr;
}

void UIView::notifyWillMoveToWindow(const Ptr<UIWindow>& newWindow) {
    willMoveToWindow(newWindow);
    const auto subviews = _subviews;
    for (const auto& subview : subviews) {
        subview->notifyWillMoveToWindow(newWindow);
    }
}

void UIView::setWindowDidChange(const Ptr<UIWindow>& oldWindow, const Ptr<UIWindow>& newWindow) {
    const auto keep = self<UIView>();
    if (newWindow && _needsLayout) {
        scheduleLayoutPass(newWindow);
    }
    didMoveToWindow();
    const auto subviews = _subviews;
    for (const auto& subview : subviews) {
        subview->setWindowDidChange(oldWindow, newWindow);
    }
}

// MARK: Appearance

BOOL UIView::isHidden() const {
    return _layer->isHidden();
}

void UIView::setHidden(BOOL hidden) {
    _layer->setHidden(hidden);
}

CGFloat UIView::alpha() const {
    return _layer->opacity();
}

void UIView::setAlpha(CGFloat alpha) {
    if (std::isnan(alpha)) {
        return;
    }
    _layer->setOpacity(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
}

void UIView::setBackgroundColor(const Ptr<UIColor>& color) {
    if (color == _backgroundColor) {
        return;
    }
    _backgroundColor = color;
    setNeedsDisplay();
}

BOOL UIView::clipsToBounds() const {
    return _layer->masksToBounds();
}

void UIView::setClipsToBounds(BOOL clips) {
    _layer->setMasksToBounds(clips);
}

void UIView::setContentMode(UIViewContentMode mode) {
    if (mode == _contentMode) {
        return;
    }
    _contentMode = mode;
    setNeedsDisplay();
}

// MARK: Layout and display

void UIView::setNeedsLayout() {
    _needsLayout = true;
    CAMarkDisplayChanged();
    if (const auto window = this->window()) {
        scheduleLayoutPass(window);
    }
}

void UIView::layoutIfNeeded() {
    // layoutSubviews may remove this view from its superview.
    const auto keep = self<UIView>();
    if (_needsLayout) {
        _needsLayout = false;
        layoutSubviews();
    }
    const auto subviews = _subviews;
    for (const auto& subview : subviews) {
        subview->layoutIfNeeded();
    }
}

void UIView::setNeedsDisplay() {
    _layer->setNeedsDisplay();
}

CGSize UIView::sizeThatFits(CGSize size) const {
    return bounds().size;
}

void UIView::sizeToFit() {
    const CGSize size = sizeThatFits(bounds().size);
    const CGRect frame = this->frame();
    setFrame(CGRectMake(frame.origin.x, frame.origin.y, size.width, size.height));
}

CGSize UIView::intrinsicContentSize() const {
    return CGSizeMake(UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric);
}

// MARK: Hit testing and conversion

Ptr<UIView> UIView::hitTest(CGPoint point, const Ptr<UIEvent>& event) {
    if (isHidden() || !_userInteractionEnabled || alpha() < 0.01 || !pointInside(point, event)) {
        return nullptr;
    }
    const auto subviews = _subviews;
    for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
        const CGRect frame = (*subview)->frame();
        const CGRect bounds = (*subview)->bounds();
        const CGPoint local = CGPointMake(point.x - frame.origin.x + bounds.origin.x,
                                          point.y - frame.origin.y + bounds.origin.y);
        if (auto hit = (*subview)->hitTest(local, event)) {
            return hit;
        }
    }
    return self<UIView>();
}

BOOL UIView::pointInside(CGPoint point, const Ptr<UIEvent>& event) const {
    return CGRectContainsPoint(bounds(), point);
}

std::pair<const UIView*, CGPoint> UIView::pointInRoot(CGPoint point) const {
    const UIView* view = this;
    for (auto parent = superview(); parent; parent = parent->superview()) {
        const CGRect frame = view->frame();
        const CGRect bounds = view->bounds();
        point = CGPointMake(point.x - bounds.origin.x + frame.origin.x,
                            point.y - bounds.origin.y + frame.origin.y);
        view = parent.get();
    }
    return {view, point};
}

CGPoint UIView::pointFromRoot(CGPoint point) const {
    std::vector<const UIView*> chain;
    for (const UIView* view = this; view;) {
        chain.push_back(view);
        const auto parent = view->superview();
        view = parent.get();
    }
    // Walk down from the root's child to this view.
    for (auto view = chain.rbegin() + 1; view < chain.rend(); ++view) {
        const CGRect frame = (*view)->frame();
        const CGRect bounds = (*view)->bounds();
        point = CGPointMake(point.x - frame.origin.x + bounds.origin.x,
                            point.y - frame.origin.y + bounds.origin.y);
    }
    return point;
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const {
    const auto [root, inRoot] = pointInRoot(point);
    if (!view) {
        return inRoot;
    }
    const auto [otherRoot, origin] = view->pointInRoot(CGPointZero);
    CGPoint target = inRoot;
    if (otherRoot != root) {
        // Separate hierarchies meet in the space their roots' frames are placed in.
        const CGRect rootFrame = root->frame();
        const CGRect rootBounds = root->bounds();
        const CGRect otherFrame = otherRoot->frame();
        const CGRect otherBounds = otherRoot->bounds();
        target = CGPointMake(
            target.x - rootBounds.origin.x + rootFrame.origin.x - otherFrame.origin.x + otherBounds.origin.x,
            target.y - rootBounds.origin.y + rootFrame.origin.y - otherFrame.origin.y + otherBounds.origin.y);
    }
    return view->pointFromRoot(target);
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* view) const {
    if (!view) {
        return pointFromRoot(point);
    }
    return view->convertPointToView(point, this);
}

CGRect UIView::convertRectToView(CGRect rect, const UIView* view) const {
    if (CGRectIsNull(rect)) {
        return rect;
    }
    rect = CGRectStandardize(rect);
    rect.origin = convertPointToView(rect.origin, view);
    return rect;
}

CGRect UIView::convertRectFromView(CGRect rect, const UIView* view) const {
    if (CGRectIsNull(rect)) {
        return rect;
    }
    rect = CGRectStandardize(rect);
    rect.origin = convertPointFromView(rect.origin, view);
    return rect;
}

// MARK: Responder chain and keys

Ptr<UIResponder> UIView::nextResponder() const {
    if (auto controller = _viewDelegate.lock()) {
        return controller;
    }
    return superview();
}

const NSKeyValueTable& UIView::keyValueTable() const {
    static const NSKeyValueTable table = [] {
        NSKeyValueTable keys;
        keys.add("frame", &UIView::frame, &UIView::setFrame)
            .add("bounds", &UIView::bounds, &UIView::setBounds)
            .add("center", &UIView::center, &UIView::setCenter)
            .add("hidden", &UIView::isHidden, &UIView::setHidden)
            .add("alpha", &UIView::alpha, &UIView::setAlpha)
            .add("backgroundColor", &UIView::backgroundColor, &UIView::setBackgroundColor)
            .add("clipsToBounds", &UIView::clipsToBounds, &UIView::setClipsToBounds)
            .add("contentMode", &UIView::contentMode, &UIView::setContentMode)
            .add("autoresizingMask", &UIView::autoresizingMask, &UIView::setAutoresizingMask)
            .add("tag", &UIView::tag, &UIView::setTag)
            .add("userInteractionEnabled", &UIView::isUserInteractionEnabled,
                 &UIView::setUserInteractionEnabled)
            .add("multipleTouchEnabled", &UIView::isMultipleTouchEnabled, &UIView::setMultipleTouchEnabled);
        return keys;
    }();
    return table;
}
