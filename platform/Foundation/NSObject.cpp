#include "Foundation/NSObject.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

namespace {
std::atomic<std::size_t> gLiveObjects{0};
} // namespace

NSObject::NSObject() {
    gLiveObjects.fetch_add(1, std::memory_order_relaxed);
}

NSObject::~NSObject() {
    gLiveObjects.fetch_sub(1, std::memory_order_relaxed);
}

std::size_t NSObject::liveInstanceCount() {
    return gLiveObjects.load(std::memory_order_relaxed);
}

std::string NSObject::className() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = (status == 0 && demangled) ? demangled : mangled;
    std::free(demangled);
    // Drop namespaces: class names are flat on this platform.
    if (const auto colon = name.rfind("::"); colon != std::string::npos) {
        name.erase(0, colon + 2);
    }
    return name;
}

std::string NSObject::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<" + className() + ": " + address + ">";
}

BOOL NSObjectsEqual(const NSObject* a, const NSObject* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return a == b || a->isEqual(b);
}
