#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include "mpris/MprisBusConnection.h"
#include "support/TestSupport.h"

namespace {

class MprisMainThreadCompletionTest : public PlatformTest {};

// Records the thread it is destroyed on.
struct DestructionWitness {
    std::thread::id* destroyedOn;
    ~DestructionWitness() { *destroyedOn = std::this_thread::get_id(); }
};

TEST_F(MprisMainThreadCompletionTest, LastCopyDroppedOnAnotherThreadIsDestroyedOnTheMainOne) {
    std::thread::id destroyedOn;
    auto witness = std::make_shared<DestructionWitness>(&destroyedOn);
    auto completion = makeMainThreadCompletion([witness](bool) {});
    witness.reset();
    std::thread([copy = std::move(completion)]() mutable { copy.reset(); }).join();
    EXPECT_EQ(destroyedOn, std::thread::id());
    advance(0);
    EXPECT_EQ(destroyedOn, std::this_thread::get_id());
    EXPECT_EQ(makeMainThreadCompletion(nullptr), nullptr);
}

} // namespace
