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
    void observePlain() { _log.push_back(_name + ":plain"); }
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
    Log log;
};

TEST_F(NotificationCenterTest, DeliversInRegistrationOrderWithNameAndSenderFilters) {
    auto sender = alloc<NSObject>();
    auto a = observer("a");
    auto any = observer("any", "");
    auto fromSender = observer("fromSender", "N", sender);
    auto other = observer("other", "Other");
    auto plain = std::make_shared<Observer>(log, "plain");
    center()->addObserver(plain, &Observer::observePlain, "N", nullptr);
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(log, (Log{"a:N", "any:N", "plain:plain"}));
    log.clear();
    center()->postNotificationName("N", sender, NSDictionary::dictionaryWithObject(NSStr("v"), "k"));
    EXPECT_EQ(log, (Log{"a:N", "any:N", "fromSender:N", "plain:plain"}));
}

TEST_F(NotificationCenterTest, PostCarriesObjectAndUserInfo) {
    auto sender = alloc<NSObject>();
    Ptr<NSNotification> received;
    center()->addObserverForName("N", nullptr, [&](const Ptr<NSNotification>& n) { received = n; });
    const auto info = NSDictionary::dictionaryWithObject(sender, "controller");
    center()->postNotificationName("N", sender, info);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->name(), "N");
    EXPECT_EQ(received->object(), sender);
    EXPECT_EQ(received->userInfo()->objectForKey("controller"), sender);
}

TEST_F(NotificationCenterTest, DestroyedObserverIsNeverCalled) {
    auto kept = observer("kept");
    auto dropped = observer("dropped");
    EXPECT_EQ(center()->registrationCount(), 2u);
    dropped.reset();
    EXPECT_EQ(center()->registrationCount(), 1u);
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(log, Log{"kept:N"});
    // An observer that unregisters in its destructor leaves nothing behind.
    auto selfRemoving = alloc<SelfRemovingObserver>();
    center()->addObserver(selfRemoving, &SelfRemovingObserver::observe, "N", nullptr);
    selfRemoving.reset();
    EXPECT_EQ(center()->registrationCount(), 1u);
}

TEST_F(NotificationCenterTest, ObserverDestroyedByAnEarlierHandlerIsSkipped) {
    auto first = observer("first");
    auto second = observer("second");
    first->onNotification = [&](const Ptr<NSNotification>&) { second.reset(); };
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(log, Log{"first:N"});
}

TEST_F(NotificationCenterTest, RemovedDuringPostIsNotCalledAfterwards) {
    auto first = observer("first");
    auto second = observer("second");
    auto third = observer("third");
    first->onNotification = [&](const Ptr<NSNotification>&) { center()->removeObserver(third); };
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(log, (Log{"first:N", "second:N"}));
}

TEST_F(NotificationCenterTest, AddedDuringPostWaitsForTheNextPost) {
    auto first = observer("first");
    Ptr<Observer> late;
    first->onNotification = [&](const Ptr<NSNotification>&) {
        if (!late) {
            late = observer("late");
        }
    };
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(log, Log{"first:N"});
    log.clear();
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(log, (Log{"first:N", "late:N"}));
}

TEST_F(NotificationCenterTest, PostingFromAHandlerDeliversTheInnerPostFirst) {
    auto outer = observer("a", "");
    auto b = observer("b", "");
    outer->onNotification = [&](const Ptr<NSNotification>& n) {
        if (n->name() == "Outer") {
            center()->postNotificationName("Inner", nullptr);
        }
    };
    center()->postNotificationName("Outer", nullptr);
    EXPECT_EQ(log, (Log{"a:Outer", "a:Inner", "b:Inner", "b:Outer"}));
}

TEST_F(NotificationCenterTest, BlockRegistrationsLiveUntilTheirTokenIsRemoved) {
    auto owner = observer("owner");
    int blockCalls = 0;
    auto token =
        center()->addObserverForName("N", nullptr, [&](const Ptr<NSNotification>&) { ++blockCalls; });
    // Removing an observer object never removes a token; nor does dropping the token.
    center()->removeObserver(owner);
    WeakPtr<NSObject> weakToken = token;
    auto tokenCopy = token;
    token.reset();
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(blockCalls, 1);
    EXPECT_TRUE(log.empty());
    center()->removeObserver(tokenCopy);
    center()->postNotificationName("N", nullptr);
    EXPECT_EQ(blockCalls, 1);
}

TEST_F(NotificationCenterTest, SelectiveRemovalByNameAndObject) {
    auto sender = alloc<NSObject>();
    auto watcher = std::make_shared<Observer>(log, "w");
    center()->addObserver(watcher, &Observer::observe, "A", nullptr);
    center()->addObserver(watcher, &Observer::observe, "B", nullptr);
    center()->addObserver(watcher, &Observer::observe, "C", sender);
    center()->removeObserver(watcher.get(), "A", nullptr);
    center()->removeObserver(watcher.get(), "", sender.get());
    for (const char* name : {"A", "B", "C"}) {
        center()->postNotificationName(name, sender);
    }
    EXPECT_EQ(log, Log{"w:B"});
}

TEST_F(NotificationCenterTest, SenderFilterOfADestroyedSenderMatchesNothing) {
    auto sender = alloc<NSObject>();
    auto watcher = observer("w", "N", sender);
    sender.reset();
    center()->postNotificationName("N", nullptr);
    center()->postNotificationName("N", alloc<NSObject>());
    EXPECT_TRUE(log.empty());
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

TEST_F(NotificationCenterTest, PostsFromSeveralThreadsReachEveryObserver) {
    std::atomic<int> calls = 0;
    auto token = center()->addObserverForName("N", nullptr, [&](const Ptr<NSNotification>&) { ++calls; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                center()->postNotificationName("N", nullptr);
            }
        });
    }
    // Registrations come and go meanwhile.
    for (int i = 0; i < 200; ++i) {
        auto transient = center()->addObserverForName("N", nullptr, [](const Ptr<NSNotification>&) {});
        center()->removeObserver(transient);
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(calls.load(), 2000);
}

} // namespace
