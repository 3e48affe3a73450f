#include "host/HostPresenter.h"

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSWhileAlive.h"
#include "UIKit/UIImage.h"
#include "host/Json.h"
#include "host/ViewDump.h"

namespace host {
namespace {

void writeOptionalString(JsonWriter& json, const Ptr<NSString>& text) {
    if (text) {
        json.string(text->UTF8String());
    } else {
        json.null();
    }
}

} // namespace

void HostPresenter::install() {
    UIAlertView::setPresenter(shared_from_this());
    UIViewController::setPresenter(shared_from_this());
}

void HostPresenter::uninstall() {
    if (UIAlertView::presenter().get() == this) {
        UIAlertView::setPresenter(nullptr);
    }
    if (UIViewController::presenter().get() == this) {
        UIViewController::setPresenter(nullptr);
    }
}

void HostPresenter::showAlertView(const Ptr<UIAlertView>& alertView) {
    JsonWriter json;
    json.beginObject().key("type").string("alert");
    json.key("title");
    writeOptionalString(json, alertView->title());
    json.key("message");
    writeOptionalString(json, alertView->message());
    json.key("cancel");
    writeOptionalString(json, alertView->buttonTitleAtIndex(alertView->cancelButtonIndex()));
    json.key("buttons").beginArray();
    for (NSInteger index = 0; index < alertView->numberOfButtons(); ++index) {
        if (index != alertView->cancelButtonIndex()) {
            writeOptionalString(json, alertView->buttonTitleAtIndex(index));
        }
    }
    json.endArray().endObject();
    _shown.push_back(json.take());

    // A newer alert covers an older one; the older counts as cancelled.
    if (const auto previous = std::exchange(_alert, alertView)) {
        previous->dismissWithClickedButtonIndex(previous->cancelButtonIndex(), false);
    }
    if (_closesAutomatically) {
        NSRunLoop::mainRunLoop()->performSoon(NSWhileAlive(alertView, [](const Ptr<UIAlertView>& alert) {
            alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), false);
        }));
    }
}

void HostPresenter::dismissAlertView(const Ptr<UIAlertView>& alertView, BOOL) {
    if (_alert == alertView) {
        _alert.reset();
    }
}

void HostPresenter::answerAlert(NSInteger index) {
    if (const auto alert = _alert) {
        alert->dismissWithClickedButtonIndex(index, true);
    }
}

void HostPresenter::presentViewController(const Ptr<UIViewController>&,
                                          const Ptr<UIViewController>& presented, BOOL,
                                          std::function<void()> completion) {
    JsonWriter json;
    json.beginObject();
    if (const auto sheet = as<UIActivityViewController>(presented)) {
        json.key("type").string("share").key("items").beginArray();
        for (const auto& item : sheet->activityItems()->objects()) {
            json.beginObject();
            if (const auto text = as<NSString>(item)) {
                json.key("text").string(text->UTF8String());
            } else if (const auto image = as<UIImage>(item)) {
                json.key("image");
                if (const auto name = as<NSString>(imageNameForDump(image, _bundlePath))) {
                    json.string(name->UTF8String());
                } else {
                    json.null();
                }
            } else {
                json.key("object").string(item ? item->description() : std::string("(null)"));
            }
            json.endObject();
        }
        json.endArray();
    } else {
        json.key("type").string("controller").key("class").string(presented->className());
    }
    json.endObject();
    _shown.push_back(json.take());

    _controller = presented;
    auto* runLoop = NSRunLoop::mainRunLoop();
    if (completion) {
        runLoop->performSoon(std::move(completion));
    }
    if (_closesAutomatically) {
        runLoop->performSoon(NSWhileAlive(presented, [](const Ptr<UIViewController>& controller) {
            if (const auto sheet = as<UIActivityViewController>(controller)) {
                sheet->finishWithActivityType(nullptr, false);
            } else {
                controller->dismissViewControllerAnimated(false, nullptr);
            }
        }));
    }
}

void HostPresenter::dismissViewController(const Ptr<UIViewController>&,
                                          const Ptr<UIViewController>& presented, BOOL,
                                          std::function<void()> completion) {
    if (_controller == presented) {
        _controller.reset();
    }
    if (completion) {
        NSRunLoop::mainRunLoop()->performSoon(std::move(completion));
    }
}

void HostPresenter::closePresentedController() {
    if (const auto controller = _controller) {
        if (const auto sheet = as<UIActivityViewController>(controller)) {
            sheet->finishWithActivityType(nullptr, false);
        } else {
            controller->dismissViewControllerAnimated(true, nullptr);
        }
    }
}

std::vector<std::string> HostPresenter::takeShown() {
    return std::exchange(_shown, {});
}

} // namespace host
