#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Foundation/NSNotificationCenter.h"
#include "support/TestSupport.h"

namespace {

using Log = std::vector<std::string>;

class Observer : public NSObject {
public:
    Observer(Log& log, std::string name) : _log(log), _name(std::move(name)) {}
    void observe(const Ptr<NSNotification>& notification) {
        _log.push_back(_name + ":" + notification->name());
        if (onNotification) {
            onNotification(notification);
        }
    }
    std::function<void(const Ptr<NSNotification>&)> onNotification;

private:
    Log& _log;
    std::string _name;
};

// Unregisters itself from its destructor, as the marquee label does.
class SelfRemovingObserver : public NSObject {
public:
    ~SelfRemovingObserver() override { NSNotificationCenter::defaultCenter()->removeObserver(this); }
    void observe() {}
};

class NotificationCenterTest : public PlatformTest {
protected:
    NSNotificationCenter* center() { return NSNotificationCenter::defaultCenter(); }
    Ptr<Observer> observer(const std::string& name, const std::string& notification = "N",
                           const Ptr<NSObject>& object = nullptr) {
        auto made = std::make_shared<Observer>(log, name);
        center()->addObserver(made, &Observer::observe, notification, object);
        return made;
    }
    void post(const std::string& name = "N", const Ptr<NSObject>& sender = nullptr) {
        center()->postNotificationName(name, sender);
    }
    Log log;
};

TEST_F(NotificationCenterTest, DeliversInRegistrationOrderToLiveObserversWhoseFiltersMatch) {
    auto sender = alloc<NSObject>();
    auto gone = alloc<NSObject>();
    auto a = observer("a");
    auto dropped = observer("dropped");
    auto any = observer("any", "");
    auto fromSender = observer("fromSender", "N", sender);
    auto fromGone = observer("fromGone", "N", gone);
    auto other = observer("other", "Other");
    // Observers and senders are held weakly: once gone, they leave nothing behind and match nothing.
    const std::size_t registrations = center()->registrationCount();
    dropped.reset();
    EXPECT_EQ(center()->registrationCount(), registrations - 1);
    gone.reset();
    post("N", alloc<NSObject>());
    post("N", sender);
    EXPECT_EQ(log, (Log{"a:N", "any:N", "a:N", "any:N", "fromSender:N"}));
}

TEST_F(NotificationCenterTest, ChangesMadeDuringAPostApplyFromTheNextDelivery) {
    auto first = observer("first");
    auto destroyed = observer("destroyed");
    auto removed = observer("removed");
    Ptr<Observer> added;
    first->onNotification = [&](const Ptr<NSNotification>&) {
        destroyed.reset();
        center()->removeObserver(removed);
        if (!added) {
            added = observer("added");
        }
    };
    post();
    EXPECT_EQ(log, Log{"first:N"});
    post();
    EXPECT_EQ(log, (Log{"first:N", "first:N", "added:N"}));
}

TEST_F(NotificationCenterTest, PostingFromAHandlerDeliversTheInnerPostFirst) {
    auto outer = observer("a", "");
    auto b = observer("b", "");
    outer->onNotification = [&](const Ptr<NSNotification>& n) {
        if (n->name() == "Outer") {
            post("Inner");
        }
    };
    post("Outer");
    EXPECT_EQ(log, (Log{"a:Outer", "a:Inner", "b:Inner", "b:Outer"}));
}

TEST_F(NotificationCenterTest, RemovalByNameKeepsOtherNamesAndTokensGoOnlyByToken) {
    auto watcher = observer("w", "A");
    center()->addObserver(watcher, &Observer::observe, "B", nullptr);
    int blockCalls = 0;
    auto token = center()->addObserverForName("", nullptr, [&](const Ptr<NSNotification>&) { ++blockCalls; });
    center()->removeObserver(watcher.get(), "A", nullptr);
    // Neither removing an observer object nor dropping the token removes a token.
    center()->removeObserver(observer("owner", "Other"));
    const auto tokenCopy = std::exchange(token, nullptr);
    post("A");
    post("B");
    EXPECT_EQ(log, Log{"w:B"});
    center()->removeObserver(tokenCopy);
    post("B");
    EXPECT_EQ(blockCalls, 2);
}

TEST_F(NotificationCenterTest, RemovingATokenWhoseBlockOwnsAnObserverDoesNotDeadlock) {
    // The block owns an object that unregisters in its destructor: destroying the
    // block re-enters the centre.
    auto owned = alloc<SelfRemovingObserver>();
    center()->addObserver(owned, &SelfRemovingObserver::observe, "N", nullptr);
    auto token = center()->addObserverForName("N", nullptr, [owned](const Ptr<NSNotification>&) {});
    owned.reset();
    center()->removeObserver(token);
    EXPECT_EQ(center()->registrationCount(), 0u);
}

TEST_F(NotificationCenterTest, PostsFromSeveralThreadsReachEveryObserverWhileRegistrationsChange) {
    std::atomic<int> calls = 0;
    auto token = center()->addObserverForName("N", nullptr, [&](const Ptr<NSNotification>&) { ++calls; });
    std::vector<std::jthread> threads(4);
    for (auto& thread : threads) {
        thread = std::jthread([&] {
            for (int i = 0; i < 500; ++i) {
                post();
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        center()->removeObserver(
            center()->addObserverForName("N", nullptr, [](const Ptr<NSNotification>&) {}));
    }
    threads.clear();
    EXPECT_EQ(calls.load(), 2000);
}

} // namespace
