#include <gtest/gtest.h>

#include "Foundation/NSNumber.h"
#include "Foundation/NSRuntime.h"
#include "support/TestSupport.h"

namespace {

class RuntimeProbe : public NSObject {};

TEST(RuntimeTest, AHandleFoundBeforeTheClassIsReplacedAndUnregisteredStillDescribesIt) {
    ObjCClass first = objc_describeClass<RuntimeProbe>("RuntimeProbe");
    first.sharedInstance = [] { return Ptr<NSObject>(NSNumber::numberWithInteger(1)); };
    first.ivars["_value"] = [](NSObject&) -> Ptr<NSObject> { return NSNumber::numberWithInteger(7); };
    objc_registerClass(std::move(first));
    const Class found = NSClassFromString("RuntimeProbe");
    ASSERT_TRUE(found);

    ObjCClass second = objc_describeClass<RuntimeProbe>("RuntimeProbe");
    second.sharedInstance = [] { return Ptr<NSObject>(NSNumber::numberWithInteger(2)); };
    objc_registerClass(std::move(second));
    EXPECT_EQ(NSIntegerValue(NSClassFromString("RuntimeProbe")->sharedInstance()), 2);
    objc_unregisterClass("RuntimeProbe");
    EXPECT_EQ(NSClassFromString("RuntimeProbe"), nullptr);

    EXPECT_EQ(NSIntegerValue(found->sharedInstance()), 1);
    const Ivar value = class_getInstanceVariable(found, "_value");
    EXPECT_EQ(NSIntegerValue(object_getIvar(alloc<RuntimeProbe>()->init().get(), value)), 7);

    // Registered again with the old handle, it is that class once more.
    objc_registerClass(found);
    EXPECT_EQ(NSClassFromString("RuntimeProbe"), found);
    objc_unregisterClass("RuntimeProbe");
}

} // namespace
