#include "Foundation/NSNotification.h"

Ptr<NSNotification> NSNotification::notificationWithName(std::string_view name, const Ptr<NSObject>& object,
                                                         const Ptr<NSDictionary>& userInfo) {
    auto notification = alloc<NSNotification>();
    notification->_name.assign(name);
    notification->_object = object;
    notification->_userInfo = userInfo;
    return notification;
}
