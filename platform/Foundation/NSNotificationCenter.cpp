#include "Foundation/NSNotificationCenter.h"

#include <algorithm>

namespace {

// The object a block registration returns; removing it removes the block.
class NSNotificationToken : public NSObject {};

} // namespace

NSNotificationCenter* NSNotificationCenter::defaultCenter() {
    // Never destroyed: observers may unregister from destructors that run late in exit.
    static auto* center = new NSNotificationCenter();
    return center;
}

void NSNotificationCenter::add(RegistrationPtr registration) {
    std::lock_guard lock(_mutex);
    registration->serial = _nextSerial++;
    _registrations.push_back(std::move(registration));
}

void NSNotificationCenter::addObserverWithHandler(const Ptr<NSObject>& observer, Handler handler,
                                                  std::string_view name, const Ptr<NSObject>& object) {
    if (!observer || !handler) {
        return;
    }
    auto registration = std::make_shared<Registration>();
    registration->observerIdentity = observer.get();
    registration->observer = observer;
    registration->handler = std::move(handler);
    registration->name.assign(name);
    registration->objectIdentity = object.get();
    registration->object = object;
    add(std::move(registration));
}

Ptr<NSObject> NSNotificationCenter::addObserverForName(std::string_view name, const Ptr<NSObject>& object,
                                                       Block block) {
    auto token = alloc<NSNotificationToken>();
    if (!block) {
        return token;
    }
    auto registration = std::make_shared<Registration>();
    registration->observerIdentity = nullptr;
    registration->token = token;
    registration->block = std::move(block);
    registration->name.assign(name);
    registration->objectIdentity = object.get();
    registration->object = object;
    add(std::move(registration));
    return token;
}

void NSNotificationCenter::removeObserver(const NSObject* observerOrToken) {
    removeObserver(observerOrToken, {}, nullptr);
}

void NSNotificationCenter::removeObserver(const NSObject* observer, std::string_view name,
                                          const NSObject* object) {
    if (!observer) {
        return;
    }
    std::vector<RegistrationPtr> dropped;
    std::lock_guard lock(_mutex);
    for (auto& registration : _registrations) {
        // Identity, not liveness: an observer unregistering from its own destructor
        // is already expired as a weak reference.
        const bool sameObserver =
            registration->observerIdentity == observer || registration->token.get() == observer;
        const bool sameName = name.empty() || registration->name == name;
        const bool sameObject = object == nullptr || registration->objectIdentity == object;
        if (sameObserver && sameName && sameObject) {
            registration->removed = true;
        }
    }
    dropped = prune();
}

BOOL NSNotificationCenter::matches(const Registration& registration,
                                   const NSNotification& notification) const {
    if (registration.removed) {
        return NO;
    }
    if (!registration.name.empty() && registration.name != notification.name()) {
        return NO;
    }
    if (registration.objectIdentity != nullptr) {
        // A sender filter whose object is gone matches nothing, even a new object at its address.
        if (registration.object.expired() || registration.objectIdentity != notification.object().get()) {
            return NO;
        }
    }
    return YES;
}

void NSNotificationCenter::postNotification(const Ptr<NSNotification>& notification) {
    if (!notification) {
        return;
    }
    // Delivery walks a snapshot, so handlers may register, remove and post freely:
    // registrations added during this post are not part of it (their serial is
    // later), and removed ones are skipped through their flag.
    std::vector<RegistrationPtr> snapshot;
    std::uint64_t lastSerial = 0;
    {
        std::lock_guard lock(_mutex);
        snapshot = _registrations;
        lastSerial = _nextSerial;
    }
    bool sawDestroyedObserver = false;
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
            sawDestroyedObserver = true;
            continue;
        }
        Handler handler = registration->handler;
        handler(observer.get(), notification);
    }
    if (sawDestroyedObserver) {
        std::vector<RegistrationPtr> dropped;
        std::lock_guard lock(_mutex);
        dropped = prune();
    }
}

void NSNotificationCenter::postNotificationName(std::string_view name, const Ptr<NSObject>& object,
                                                const Ptr<NSDictionary>& userInfo) {
    postNotification(NSNotification::notificationWithName(name, object, userInfo));
}

std::vector<NSNotificationCenter::RegistrationPtr> NSNotificationCenter::prune() {
    std::vector<RegistrationPtr> dropped;
    std::erase_if(_registrations, [&](const RegistrationPtr& registration) {
        const bool gone =
            registration->removed || (registration->observerIdentity && registration->observer.expired());
        if (gone) {
            dropped.push_back(registration);
        }
        return gone;
    });
    return dropped;
}

std::size_t NSNotificationCenter::registrationCount() const {
    std::lock_guard lock(_mutex);
    return std::count_if(_registrations.begin(), _registrations.end(),
                         [](const RegistrationPtr& registration) {
                             return !registration->removed &&
                                    !(registration->observerIdentity && registration->observer.expired());
                         });
}

void NSNotificationCenter::reset() {
    std::vector<RegistrationPtr> dropped;
    {
        std::lock_guard lock(_mutex);
        for (auto& registration : _registrations) {
            registration->removed = true;
        }
        dropped.swap(_registrations);
    }
    // Blocks are destroyed outside the lock: what they captured may unregister.
}
