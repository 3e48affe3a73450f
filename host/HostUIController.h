#pragma once

#include <functional>
#include <utility>

#include "SpringBoard/SBUIController.h"

namespace host {

// The host's UI controller: bringing an application to the front is the
// back-end's business, handed in as a function.
class HostUIController : public SBUIController {
public:
    using Activation = std::function<void(const Ptr<SBApplication>& application)>;

    Ptr<HostUIController> initWithActivation(Activation activation) {
        NSObject::init();
        _activation = std::move(activation);
        return self<HostUIController>();
    }

    void activateApplicationAnimated(const Ptr<SBApplication>& application) override {
        if (_activation) {
            _activation(application);
        }
    }

private:
    Activation _activation;
};

} // namespace host
