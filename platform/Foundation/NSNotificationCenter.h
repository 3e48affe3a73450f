#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNotification.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// The process's notification centre. Delivery is synchronous, on the posting
// thread, in registration order.
//
// - Selector observers are held weakly: an observer that is destroyed is never
//   called, and its registrations are dropped.
// - Block registrations stay until removed by the token they returned; removing
//   an observer object never removes a token.
// - Re-entrancy: an observer removed during a post is not called afterwards in that
//   post; one added during a post is not called for it; posting from inside a
//   handler delivers the inner notification completely first.
// - An empty name matches every name; a nil object matches every sender. An
//   object filter matches by identity, and matches nothing once its object is gone.
// - Registering, removing and posting are safe from any thread; handlers run on
//   the posting thread and no lock is held while they run.
class NSNotificationCenter : public NSObject {
public:
    using Handler = std::function<void(NSObject* observer, const Ptr<NSNotification>& notification)>;
    using Block = std::function<void(const Ptr<NSNotification>& notification)>;

    static NSNotificationCenter* defaultCenter();

    // Registers `selector` of `observer`; the selector takes the notification or nothing.
    template <class T, class Method>
    void addObserver(const Ptr<T>& observer, Method selector, std::string_view name,
                     const Ptr<NSObject>& object) {
        Handler handler = [selector](NSObject* receiver, const Ptr<NSNotification>& notification) {
            auto* typed = static_cast<T*>(receiver);
            if constexpr (std::is_invocable_v<Method, T*, const Ptr<NSNotification>&>) {
                (typed->*selector)(notification);
            } else {
                (typed->*selector)();
            }
        };
        addObserverWithHandler(observer, std::move(handler), name, object);
    }
    void addObserverWithHandler(const Ptr<NSObject>& observer, Handler handler, std::string_view name,
                                const Ptr<NSObject>& object);

    // Registers a block; answers the token that removes it. The queue of the
    // original is always the posting thread here.
    Ptr<NSObject> addObserverForName(std::string_view name, const Ptr<NSObject>& object, Block block);

    // Removes every registration of an observer, or the block registration of a token.
    void removeObserver(const NSObject* observerOrToken);
    void removeObserver(const Ptr<NSObject>& observerOrToken) { removeObserver(observerOrToken.get()); }
    // Removes the observer's registrations for `name` (empty: any) and `object` (nil: any).
    void removeObserver(const NSObject* observer, std::string_view name, const NSObject* object);

    void postNotification(const Ptr<NSNotification>& notification);
    void postNotificationName(std::string_view name, const Ptr<NSObject>& object,
                              const Ptr<NSDictionary>& userInfo = nullptr);

    // Registrations currently held (destroyed observers are pruned lazily).
    std::size_t registrationCount() const;
    // Drops every registration; for tests that want a clean slate.
    void reset();

private:
    struct Registration {
        std::uint64_t serial;
        const NSObject* observerIdentity; // nullptr for a block registration
        WeakPtr<NSObject> observer;
        Ptr<NSObject> token; // block registrations only
        Handler handler;
        Block block;
        std::string name;
        const NSObject* objectIdentity;
        WeakPtr<NSObject> object;
        std::atomic<bool> removed = false;
    };
    using RegistrationPtr = std::shared_ptr<Registration>;

    BOOL matches(const Registration& registration, const NSNotification& notification) const;
    void add(RegistrationPtr registration);
    // Takes out removed registrations and those of destroyed observers; needs _mutex
    // held. The caller destroys them after unlocking: a block's captures may unregister.
    std::vector<RegistrationPtr> prune();

    mutable std::mutex _mutex;
    std::vector<RegistrationPtr> _registrations;
    std::uint64_t _nextSerial = 1;
};
