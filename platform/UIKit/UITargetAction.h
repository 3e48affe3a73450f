#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeindex>

#include "Foundation/NSObject.h"

class UIEvent;

namespace detail {

template <class Method> struct UIActionMethod;
template <class R, class C, class... Args> struct UIActionMethod<R (C::*)(Args...)> {
    using Arguments = std::tuple<Args...>;
};
template <class R, class C, class... Args> struct UIActionMethod<R (C::*)(Args...) const> {
    using Arguments = std::tuple<Args...>;
};
template <class R, class C, class... Args> struct UIActionMethod<R (C::*)(Args...) noexcept> {
    using Arguments = std::tuple<Args...>;
};
template <class R, class C, class... Args> struct UIActionMethod<R (C::*)(Args...) const noexcept> {
    using Arguments = std::tuple<Args...>;
};

// The sender as the method's parameter expects it: a Ptr or raw pointer of the
// parameter's class, nil when the sender is of another class (as a message to a
// method typed for another sender would read it).
template <class Parameter> auto UIActionArgument(const Ptr<NSObject>& object) {
    using Type = std::remove_cvref_t<Parameter>;
    if constexpr (std::is_pointer_v<Type>) {
        return dynamic_cast<Type>(object.get());
    } else {
        return std::dynamic_pointer_cast<typename Type::element_type>(object);
    }
}

} // namespace detail

// One target-action pair as controls and gesture recognizers keep them: the
// target is held weakly (a target that has gone away is simply not called) and
// the action is one of its member functions, taking nothing, the sender, or the
// sender and the event.
class UIAction {
public:
    template <class T, class Method> static UIAction make(const Ptr<T>& target, Method method) {
        static_assert(std::is_member_function_pointer_v<Method>,
                      "an action is a member function of the target");
        using Arguments = typename detail::UIActionMethod<Method>::Arguments;
        constexpr std::size_t arity = std::tuple_size_v<Arguments>;
        static_assert(arity <= 2, "an action takes nothing, the sender, or the sender and the event");

        UIAction action;
        action._target = target;
        action._targetIdentity = target.get();
        action._methodType = typeid(Method);
        action._methodBytes.assign(reinterpret_cast<const char*>(&method), sizeof(Method));
        WeakPtr<T> weakTarget = target;
        action._invoke = [weakTarget, method](const Ptr<NSObject>& sender, const Ptr<UIEvent>& event) {
            const Ptr<T> receiver = weakTarget.lock();
            if (!receiver) {
                return false;
            }
            if constexpr (arity == 0) {
                ((*receiver).*method)();
            } else if constexpr (arity == 1) {
                ((*receiver).*method)(detail::UIActionArgument<std::tuple_element_t<0, Arguments>>(sender));
            } else {
                ((*receiver).*method)(detail::UIActionArgument<std::tuple_element_t<0, Arguments>>(sender),
                                      event);
            }
            return true;
        };
        return action;
    }

    // Calls the action on its target; answers NO (and does nothing) when the
    // target has gone away.
    BOOL send(const Ptr<NSObject>& sender, const Ptr<UIEvent>& event) const {
        return _invoke && _invoke(sender, event);
    }
    BOOL isTargetGone() const { return _target.expired(); }
    BOOL hasTarget(const NSObject* target) const { return _targetIdentity == target; }
    // Whether this pair is `target` with `method`.
    template <class T, class Method> BOOL matches(const T* target, Method method) const {
        return hasTarget(target) && _methodType == typeid(Method) && _methodBytes.size() == sizeof(Method) &&
               std::memcmp(_methodBytes.data(), &method, sizeof(Method)) == 0;
    }
    BOOL sameAs(const UIAction& other) const {
        return _targetIdentity == other._targetIdentity && _methodType == other._methodType &&
               _methodBytes == other._methodBytes;
    }

private:
    WeakPtr<NSObject> _target;
    const NSObject* _targetIdentity = nullptr;
    std::type_index _methodType = typeid(void);
    std::string _methodBytes;
    std::function<bool(const Ptr<NSObject>&, const Ptr<UIEvent>&)> _invoke;
};
