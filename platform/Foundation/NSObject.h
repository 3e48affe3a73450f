#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

// Shared ownership stands for the platform's reference counting: a Ptr owns, a
// WeakPtr does not, a raw pointer never owns. nil is an empty Ptr.
template <class T> using Ptr = std::shared_ptr<T>;
template <class T> using WeakPtr = std::weak_ptr<T>;

using BOOL = bool;
inline constexpr BOOL YES = true;
inline constexpr BOOL NO = false;
using NSInteger = std::int64_t;
using NSUInteger = std::uint64_t;
using NSTimeInterval = double;

// The root of every platform and product object: identity, equality, a description
// for "%@" and the class name. Objects are created with alloc<T>() followed by one
// of the class's initialisers, which return nil when they fail.
class NSObject : public std::enable_shared_from_this<NSObject> {
public:
    NSObject();
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;
    virtual ~NSObject();

    // How many objects exist now, in every thread: one relaxed atomic counted up in
    // the constructor and down in the destructor, so that a long run can tell
    // whether anything piles up.
    static std::size_t liveInstanceCount();

    // The plain initialiser; subclasses call their base's initialiser first.
    Ptr<NSObject> init() { return shared_from_this(); }

    // Identity by default; value classes compare their contents.
    virtual BOOL isEqual(const NSObject* other) const { return other == this; }
    virtual std::size_t hash() const { return reinterpret_cast<std::uintptr_t>(this); }
    // What "%@" prints: "<ClassName: 0x...>" unless a class says more.
    virtual std::string description() const;
    // The class's name as registered or declared, e.g. "UIView".
    std::string className() const;

protected:
    // This object as a Ptr of its own class; valid from the first initialiser on.
    template <class T> Ptr<T> self() { return std::static_pointer_cast<T>(shared_from_this()); }
    template <class T> WeakPtr<T> weakSelf() { return self<T>(); }
};

// Allocates a zeroed object of class T, to be initialised by one of its initialisers.
template <class T> Ptr<T> alloc() {
    return std::make_shared<T>();
}

// A checked downcast that answers nil for nil or an object of another class.
template <class T, class U> Ptr<T> as(const Ptr<U>& object) {
    return std::dynamic_pointer_cast<T>(object);
}

// Equality as the platform has it: two nils are equal, nil equals nothing else.
BOOL NSObjectsEqual(const NSObject* a, const NSObject* b);
inline BOOL NSObjectsEqual(const Ptr<NSObject>& a, const Ptr<NSObject>& b) {
    return NSObjectsEqual(a.get(), b.get());
}
