// Reading and writing arrays and dictionaries as property-list files.
#include "Foundation/NSArray.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSPropertyListSerialization.h"

namespace {

Ptr<NSObject> propertyListFromFile(const Ptr<NSString>& path) {
    const auto data = NSData::dataWithContentsOfFile(path);
    return data ? NSPropertyListSerialization::propertyListWithData(data) : nullptr;
}

BOOL writePropertyList(const NSObject& object, const Ptr<NSString>& path, BOOL atomically) {
    const auto self = std::const_pointer_cast<NSObject>(object.shared_from_this());
    const auto data = NSPropertyListSerialization::dataWithPropertyList(self, NSPropertyListXMLFormat_v1_0);
    return data && data->writeToFile(path, atomically);
}

} // namespace

Ptr<NSDictionary> NSDictionary::dictionaryWithContentsOfFile(const Ptr<NSString>& path) {
    return as<NSDictionary>(propertyListFromFile(path));
}

Ptr<NSArray> NSArray::arrayWithContentsOfFile(const Ptr<NSString>& path) {
    return as<NSArray>(propertyListFromFile(path));
}

BOOL NSDictionary::writeToFile(const Ptr<NSString>& path, BOOL atomically) const {
    return writePropertyList(*this, path, atomically);
}

BOOL NSArray::writeToFile(const Ptr<NSString>& path, BOOL atomically) const {
    return writePropertyList(*this, path, atomically);
}
