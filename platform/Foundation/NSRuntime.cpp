#include "Foundation/NSRuntime.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, Class, std::less<>> classes;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

void objc_registerClass(ObjCClass description) {
    objc_registerClass(std::make_shared<const ObjCClass>(std::move(description)));
}

void objc_registerClass(Class cls) {
    if (!cls) {
        return;
    }
    // A dropped class may be the last handle to what its operations captured:
    // it goes after the lock is released, so that their destructors may use the
    // registry.
    Class replaced;
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    auto [entry, inserted] = reg.classes.try_emplace(cls->name, cls);
    if (!inserted) {
        replaced = std::exchange(entry->second, std::move(cls));
    }
}

void objc_unregisterClass(std::string_view name) {
    Class removed; // released after the lock, as a replaced class is
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    if (auto found = reg.classes.find(name); found != reg.classes.end()) {
        removed = std::move(found->second);
        reg.classes.erase(found);
    }
}

Class NSClassFromString(std::string_view name) {
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    const auto found = reg.classes.find(name);
    return found == reg.classes.end() ? nullptr : found->second;
}

Class object_getClass(const NSObject* object) {
    if (!object) {
        return nullptr;
    }
    const std::type_index type = typeid(*object);
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    for (const auto& [name, cls] : reg.classes) {
        if (cls->type == type) {
            return cls;
        }
    }
    return nullptr;
}

std::string NSStringFromClass(Class cls) {
    return cls ? cls->name : std::string();
}

Ivar class_getInstanceVariable(Class cls, std::string_view name) {
    if (!cls) {
        return nullptr;
    }
    const auto found = cls->ivars.find(name);
    return found == cls->ivars.end() ? nullptr : &found->second;
}

Ptr<NSObject> object_getIvar(NSObject* object, Ivar ivar) {
    if (!object || !ivar || !*ivar) {
        return nullptr;
    }
    return (*ivar)(*object);
}

std::vector<std::string> objc_registeredClassNames() {
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    std::vector<std::string> names;
    for (const auto& [name, cls] : reg.classes) {
        names.push_back(name);
    }
    return names;
}

void objc_resetRegistry() {
    decltype(Registry::classes) removed; // released after the lock, as a replaced class is
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    removed.swap(reg.classes);
}
