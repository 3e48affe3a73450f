#include "Foundation/NSRuntime.h"

#include <algorithm>
#include <mutex>

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<ObjCClass>, std::less<>> classes;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

void objc_registerClass(ObjCClass description) {
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    auto name = description.name;
    auto found = reg.classes.find(name);
    if (found != reg.classes.end()) {
        // Replace in place so that Class pointers handed out stay valid.
        *found->second = std::move(description);
    } else {
        reg.classes.emplace(std::move(name), std::make_unique<ObjCClass>(std::move(description)));
    }
}

void objc_unregisterClass(std::string_view name) {
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    if (auto found = reg.classes.find(name); found != reg.classes.end()) {
        reg.classes.erase(found);
    }
}

Class NSClassFromString(std::string_view name) {
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    const auto found = reg.classes.find(name);
    return found == reg.classes.end() ? nullptr : found->second.get();
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
            return cls.get();
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
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    reg.classes.clear();
}
