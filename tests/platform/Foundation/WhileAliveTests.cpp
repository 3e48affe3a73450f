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

TEST(WhileAliveTest, RunsOnItsOwnerWithTheArgumentsOnlyWhileTheOwnerLives) {
    for (const bool ownerKept : {true, false}) {
        std::vector<std::string> log;
        auto owner = alloc<WhileAliveOwner>();
        owner->log = &log;
        auto call = NSWhileAlive(owner, &WhileAliveOwner::record);
        const auto kept = ownerKept ? owner : nullptr;
        owner.reset();
        call(std::string("seek"), 3);
        EXPECT_EQ(log, ownerKept ? std::vector<std::string>{"seek3"} : std::vector<std::string>{})
            << ownerKept;
    }
}

} // namespace
