#include "window/ModalPanelState.h"

#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "host/HostPresenter.h"

namespace host {

ModalPanelState::~ModalPanelState() {
    hideNotice();
}

bool ModalPanelState::isOutOfDate(const HostPresenter& presenter) const {
    return presenter.visibleAlert() != _alert || presenter.visibleController() != _controller;
}

bool ModalPanelState::sync(const HostPresenter& presenter, CGSize windowSize) {
    _windowSize = windowSize;
    if (!isOutOfDate(presenter)) {
        return false;
    }
    _alert = presenter.visibleAlert();
    _controller = presenter.visibleController();
    _press = -1;
    _alertPanel = {};
    _sharePanel = {};
    // An alert covers a sheet under it; the sheet comes back when it goes.
    if (_alert) {
        _alertPanel = makeAlertPanel(*_alert);
        _panel.emplace(_alertPanel.content, windowSize);
    } else if (const auto sheet = as<UIActivityViewController>(_controller)) {
        _sharePanel = makeSharePanel(*sheet);
        _panel.emplace(_sharePanel.content, windowSize);
    } else if (_controller) {
        _panel.emplace(PanelContent{_controller->className(), "", {"Close"}, 0, 0}, windowSize);
    } else {
        _panel.reset();
    }
    _needsDisplay = true;
    return true;
}

void ModalPanelState::clear() {
    hideNotice();
    _panel.reset();
    _alert.reset();
    _controller.reset();
    _alertPanel = {};
    _sharePanel = {};
    _press = -1;
}

void ModalPanelState::press(CGPoint windowPoint) {
    if (!_panel) {
        return;
    }
    _press = _panel->buttonAt(windowPoint);
    setHighlight(_press);
    // The press shows even on no button: the window is drawn afresh either way.
    _needsDisplay = true;
}

void ModalPanelState::move(CGPoint windowPoint) {
    if (!_panel || _press < 0) {
        return;
    }
    setHighlight(_panel->buttonAt(windowPoint) == _press ? _press : -1);
}

int ModalPanelState::release(CGPoint windowPoint) {
    if (!_panel || _press < 0) {
        return -1;
    }
    const int pressed = std::exchange(_press, -1);
    setHighlight(-1);
    _needsDisplay = true;
    return _panel->buttonAt(windowPoint) == pressed ? pressed : -1;
}

void ModalPanelState::cancelPress() {
    if (!_panel || _press < 0) {
        return;
    }
    _press = -1;
    setHighlight(-1);
    _needsDisplay = true;
}

void ModalPanelState::setHighlight(int index) {
    if (index != _panel->highlightedButton()) {
        _panel->setHighlightedButton(index);
        _needsDisplay = true;
    }
}

std::optional<ShareOutcome> ModalPanelState::choose(int index, HostPresenter& presenter,
                                                    const ShareServices& services) {
    if (!_panel || index < 0 || static_cast<std::size_t>(index) >= _panel->content().buttons.size()) {
        return std::nullopt;
    }
    if (_alert) {
        presenter.answerAlert(_alertPanel.alertIndices[static_cast<std::size_t>(index)]);
    } else if (const auto sheet = as<UIActivityViewController>(_controller)) {
        const ShareOutcome outcome = performShareChoice(
            sheet, _sharePanel, _sharePanel.choices[static_cast<std::size_t>(index)], services);
        showNotice(shareNotice(outcome, services.homeDirectory));
        return outcome;
    } else if (_controller) {
        presenter.closePresentedController();
    }
    return ShareOutcome{};
}

void ModalPanelState::showNotice(const std::string& text) {
    hideNotice();
    if (text.empty()) {
        return;
    }
    _notice.emplace(PanelContent{"", text, {}, -1, -1}, _windowSize);
    _needsDisplay = true;
    // Cancelled by hideNotice, so the task never outlives this object.
    _noticeRemoval = NSRunLoop::mainRunLoop()->scheduleAfter(kNoticeSeconds, [this] {
        _noticeRemoval.reset();
        hideNotice();
    });
}

void ModalPanelState::hideNotice() {
    if (_noticeRemoval) {
        NSRunLoop::mainRunLoop()->cancel(*std::exchange(_noticeRemoval, std::nullopt));
    }
    if (_notice) {
        _notice.reset();
        _needsDisplay = true;
    }
}

} // namespace host
