#pragma once

#include <string>
#include <string_view>

#include "Foundation/NSDictionary.h"
#include "Foundation/NSObject.h"

// A named message with an optional sender and extra information, as the
// notification centre delivers it.
class NSNotification : public NSObject {
public:
    static Ptr<NSNotification> notificationWithName(std::string_view name, const Ptr<NSObject>& object,
                                                    const Ptr<NSDictionary>& userInfo = nullptr);
    const std::string& name() const { return _name; }
    const Ptr<NSObject>& object() const { return _object; }
    const Ptr<NSDictionary>& userInfo() const { return _userInfo; }

private:
    std::string _name;
    Ptr<NSObject> _object;
    Ptr<NSDictionary> _userInfo;
};
