// Property lists, XML or binary: read as a list or nil; a list read is written again.
#include "Foundation/NSData.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "fuzz/FuzzTarget.h"

TRILLBOX_FUZZ_TARGET {
    std::string problem;
    const auto list = NSPropertyListSerialization::propertyListWithData(NSData::dataWithBytes(data, size),
                                                                        nullptr, &problem);
    NSPropertyListSerialization::dataWithPropertyList(list, NSPropertyListXMLFormat_v1_0);
    NSPropertyListSerialization::dataWithPropertyList(list, NSPropertyListBinaryFormat_v1_0);
    return 0;
}
