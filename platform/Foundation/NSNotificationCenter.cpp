#include "Foundation/NSNotificationCenter.h"

#include <algorithm>

namespace {

// The object a block registration returns; removing it removes the block.
class NSNotificationToken : public NSObject {};

} // namespace

Ptr<NSNotification> NSNotification::notificationWithName(std::string_view name, const Ptr<NSObject>& object,
                                                         const Ptr<NSDictionary>& userInfo) {
    auto notification = alloc<NSNotification>();
    notification->_name.assign(name);
    notification->_object = object;
    notification->_userInfo = userInfo;
    return notification;
}

NSNotificationCenter* NSNotificationCenter::defaultCenter() {
    static auto owner = std::make_shared<NSNotificationCenter>();
    return owner.get();
}

void NSNotificationCenter::addObserverWithHandler(const Ptr<NSObject>& observer, Handler handler,
                                                  std::string_view name, const Ptr<NSObject>& object) {
    if (!observer || !handler) {
        return;
    }
    auto registration = std::make_shared<Registration>();
    registration->serial = _nextSerial++;
    registration->observerIdentity = observer.get();
    registration->observer = observer;
    registration->handler = std::move(handler);
    registration->name.assign(name);
    registration->objectIdentity = object.get();
    registration->object = object;
    _registrations.push_back(std::move(registration));
}

Ptr<NSObject> NSNotificationCenter::addObserverForName(std::string_view name, const Ptr<NSObject>& object,
                                                       Block block) {
    auto token = alloc<NSNotificationToken>();
    if (!block) {
        return token;
    }
    auto registration = std::make_shared<Registration>();
    registration->serial = _nextSerial++;
    registration->observerIdentity = nullptr;
    registration->token = token;
    registration->block = std::move(block);
    registration->name.assign(name);
    registration->objectIdentity = object.get();
    registration->object = object;
    _registrations.push_back(std::move(registration));
    return token;
}

void NSNotificationCenter::removeObserver(const NSObject* observerOrToken) {
    if (!observerOrToken) {
        return;
    }
    for (auto& registration : _registrations) {
        if (registration->observerIdentity == observerOrToken || registration->token.get() == observerOrToken) {
            registration->removed = true;
        }
    }
    prune();
}

void NSNotificationCenter::removeObserver(const NSObject* observer, std::string_view name, const NSObject* object) {
    if (!observer) {
        return;
    }
    for (auto& registration : _registrations) {
        const bool sameObserver =
            registration->observerIdentity == observer || registration->token.get() == observer;
        const bool sameName = name.empty() || registration->name == name;
        const bool sameObject = object == nullptr || registration->objectIdentity == object;
        if (sameObserver && sameName && sameObject) {
            registration->removed = true;
        }
    }
    prune();
}

bool NSNotificationCenter::matches(const Registration& registration, const NSNotification& notification) const {
    if (registration.removed) {
        return false;
    }
    if (!registration.name.empty() && registration.name != notification.name()) {
        return false;
    }
    if (registration.objectIdentity != nullptr) {
        // A sender filter whose object is gone matches nothing, even a new object at its address.
        if (registration.object.expired() || registration.objectIdentity != notification.object().get()) {
            return false;
        }
    }
    return true;
}

void NSNotificationCenter::postNotification(const Ptr<NSNotification>& notification) {
    if (!notification) {
        return;
    }
    // Registrations added during this post are not part of it.
    const std::uint64_t lastSerial = _nextSerial;
    const auto snapshot = _registrations;
    ++_postDepth;
    for (const auto& registration : snapshot) {
        if (registration->serial >= lastSerial || !matches(*registration, *notification)) {
            continue;
        }
        if (registration->block) {
            Block block = registration->block;
            block(notification);
            continue;
        }
        // Hold the observer for the duration of its call; a destroyed one is skipped.
        const Ptr<NSObject> observer = registration->observer.lock();
        if (!observer) {
            registration->removed = true;
            continue;
        }
        Handler handler = registration->handler;
        handler(observer.get(), notification);
    }
    --_postDepth;
    prune();
}

void NSNotificationCenter::postNotificationName(std::string_view name, const Ptr<NSObject>& object,
                                               const Ptr<NSDictionary>& userInfo) {
    postNotification(NSNotification::notificationWithName(name, object, userInfo));
}

void NSNotificationCenter::prune() {
    if (_postDepth > 0) {
        return;
    }
    std::erase_if(_registrations, [](const RegistrationPtr& registration) {
        return registration->removed || (registration->observerIdentity && registration->observer.expired());
    });
}

std::size_t NSNotificationCenter::registrationCount() const {
    return std::count_if(_registrations.begin(), _registrations.end(), [](const RegistrationPtr& registration) {
        return !registration->removed && !(registration->observerIdentity && registration->observer.expired());
    });
}

void NSNotificationCenter::reset() {
    for (auto& registration : _registrations) {
        registration->removed = true;
    }
    _registrations.clear();
}
