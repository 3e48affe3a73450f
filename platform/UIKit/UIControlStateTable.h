#pragma once

#include <map>

#include "Foundation/NSObject.h"
#include "UIKit/UIControl.h"

// Values a control keeps per state (images, titles): a state without a value of
// its own answers the normal state's.
template <class Value> class UIControlStateTable {
public:
    Ptr<Value> valueForState(UIControlState state) const {
        if (auto found = _values.find(state); found != _values.end() && found->second) {
            return found->second;
        }
        auto normal = _values.find(UIControlStateNormal);
        return normal != _values.end() ? normal->second : nullptr;
    }
    // Answers whether the stored value changed.
    BOOL setValue(const Ptr<Value>& value, UIControlState state) {
        auto& slot = _values[state];
        if (slot == value) {
            return NO;
        }
        slot = value;
        return YES;
    }

private:
    std::map<UIControlState, Ptr<Value>> _values;
};
