// A class that lives in a loadable bundle of its own, for the bundle lookup tests.
#include "Foundation/NSRuntime.h"

namespace {

class ProbeObject : public NSObject {};

} // namespace

extern "C" __attribute__((visibility("default"))) void trillboxProbeRegister() {
    objc_registerClass(objc_describeClass<ProbeObject>("ProbeObject"));
}
