#include "QuartzCore/CATransaction.h"

#include <cassert>
#include <map>
#include <string>
#include <vector>

#include "Foundation/NSNumber.h"
#include "Foundation/NSRunLoop.h"

namespace {

struct Transaction {
    std::map<std::string, Ptr<NSObject>, std::less<>> values;
    // Implicit transactions end with the run-loop pass that opened them; this is
    // the task that ends it.
    bool implicit = false;
    NSRunLoop::TaskId endTask = 0;
};

std::vector<Transaction>& transactions() {
    static std::vector<Transaction> stack;
    return stack;
}

// An implicit transaction whose ending task is gone (the run loop was reset) is
// over: it must not leak into later work.
void dropAbandonedImplicitTransaction() {
    auto& stack = transactions();
    if (!stack.empty() && stack.front().implicit &&
        !NSRunLoop::mainRunLoop()->isScheduled(stack.front().endTask)) {
        stack.erase(stack.begin());
    }
}

void endImplicitTransaction() {
    auto& stack = transactions();
    if (!stack.empty() && stack.front().implicit) {
        NSRunLoop::mainRunLoop()->cancel(stack.front().endTask);
        stack.erase(stack.begin());
    }
}

} // namespace

void CATransaction::begin() {
    dropAbandonedImplicitTransaction();
    transactions().push_back({});
}

void CATransaction::commit() {
    auto& stack = transactions();
    assert(!stack.empty() && !stack.back().implicit && "CATransaction::commit without begin");
    if (stack.empty() || stack.back().implicit) {
        return;
    }
    stack.pop_back();
}

void CATransaction::flush() {
    endImplicitTransaction();
}

Ptr<NSObject> CATransaction::valueForKey(std::string_view key) {
    dropAbandonedImplicitTransaction();
    const auto& stack = transactions();
    for (auto transaction = stack.rbegin(); transaction != stack.rend(); ++transaction) {
        if (const auto found = transaction->values.find(key); found != transaction->values.end()) {
            return found->second;
        }
    }
    return nullptr;
}

void CATransaction::setValue(const Ptr<NSObject>& value, std::string_view key) {
    dropAbandonedImplicitTransaction();
    auto& stack = transactions();
    if (stack.empty()) {
        Transaction implicit;
        implicit.implicit = true;
        implicit.endTask = NSRunLoop::mainRunLoop()->performSoon(endImplicitTransaction);
        stack.push_back(std::move(implicit));
    }
    auto& values = stack.back().values;
    if (value) {
        values.insert_or_assign(std::string(key), value);
    } else if (const auto found = values.find(key); found != values.end()) {
        values.erase(found);
    }
}

BOOL CATransaction::disableActions() {
    if (transactions().empty()) {
        return NO;
    }
    return NSBoolValue(valueForKey(kCATransactionDisableActions));
}

void CATransaction::setDisableActions(BOOL disable) {
    setValue(NSNumber::numberWithBool(disable), kCATransactionDisableActions);
}
