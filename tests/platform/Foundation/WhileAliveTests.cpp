#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/NSWhileAlive.h"

namespace {

class WhileAliveOwner : public NSObject {
public:
    void record(const std::string& word, int count) { log->push_back(word + std::to_string(count)); }
    std::vector<std::string>* log = nullptr;
};

TEST(WhileAliveTest, RunsWithItsOwnerOnlyWhileTheOwnerLives) {
    const struct {
        bool ownerKept;
        std::vector<std::string> log;
    } cases[] = {{true, {"seek3", "play by owner"}}, {false, {}}};
    for (const auto& test : cases) {
        std::vector<std::string> log;
        auto owner = alloc<WhileAliveOwner>();
        owner->log = &log;
        auto byMember = NSWhileAlive(owner, &WhileAliveOwner::record);
        auto byLambda =
            NSWhileAlive(WeakPtr<WhileAliveOwner>(owner),
                         [&log, raw = owner.get()](const Ptr<WhileAliveOwner>& alive, const char* word) {
                             log.push_back(word + std::string(alive.get() == raw ? " by owner" : ""));
                         });
        const auto kept = test.ownerKept ? owner : nullptr;
        owner.reset();
        byMember(std::string("seek"), 3);
        byLambda("play");
        EXPECT_EQ(log, test.log) << test.ownerKept;
    }
}

} // namespace
