#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "Foundation/NSObject.h"

// The runtime registry: classes registered and found by name, their shared
// instances and class operations, and instance variables found by name.
// One registry per process (the platform is a shared library).
struct ObjCClass {
    std::string name;
    std::type_index type = typeid(void);
    // alloc + init; nil when the class cannot be created this way.
    std::function<Ptr<NSObject>()> createInstance;
    // alloc only, for classes with other initialisers; nil when not offered.
    std::function<Ptr<NSObject>()> allocate;
    // The class operation `sharedInstance`; nil when the class has none.
    std::function<Ptr<NSObject>()> sharedInstance;
    // Instance variables by name: each reads the variable of an instance.
    std::map<std::string, std::function<Ptr<NSObject>(NSObject& instance)>, std::less<>> ivars;
    // An address inside the code that registered the class: its shared object (or
    // executable) is where the class lives.
    const void* codeAddress = nullptr;
};
// A class handle, shared with the registry: it stays valid after the class is
// unregistered or replaced, and then still describes the class it was found as.
using Class = std::shared_ptr<const ObjCClass>;
// Points into a class's description: valid while a handle to that class is held.
using Ivar = const std::function<Ptr<NSObject>(NSObject& instance)>*;

// Registers (or replaces) a class under its name. Handles to the class it
// replaces keep describing the replaced class.
void objc_registerClass(ObjCClass description);
// Registers (or replaces) a class under its name with a handle found earlier, as
// that same class. A nil handle registers nothing.
void objc_registerClass(Class cls);
// Removes a class; lookups answer nil afterwards, handles already found stay valid.
void objc_unregisterClass(std::string_view name);
// The class of that name, or nil.
Class NSClassFromString(std::string_view name);
// The registered class of an object (by its dynamic type), or nil.
Class object_getClass(const NSObject* object);
std::string NSStringFromClass(Class cls);
// The instance variable of that name on a class, or nil.
Ivar class_getInstanceVariable(Class cls, std::string_view name);
// The value of an instance variable on an object; nil for nil arguments.
Ptr<NSObject> object_getIvar(NSObject* object, Ivar ivar);
// Every registered class name, sorted.
std::vector<std::string> objc_registeredClassNames();
// Drops every class; for tests that want a clean slate.
void objc_resetRegistry();

// Registers class T under `name` with alloc + init as its way of creation.
template <class T> ObjCClass objc_describeClass(std::string_view name) {
    ObjCClass description;
    description.name.assign(name);
    description.type = typeid(T);
    description.allocate = [] { return Ptr<NSObject>(alloc<T>()); };
    description.createInstance = [] { return Ptr<NSObject>(alloc<T>()->init()); };
    description.codeAddress = reinterpret_cast<const void*>(&objc_describeClass<T>);
    return description;
}
