#pragma once

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// The file operations the platform offers beyond reading and writing whole files.
// Device paths resolve under the device root.
class NSFileManager : public NSObject {
public:
    static NSFileManager* defaultManager();

    // YES when something exists at `path`; `isDirectory` (optional) says whether it
    // is a directory.
    BOOL fileExistsAtPath(const Ptr<NSString>& path, BOOL* isDirectory = nullptr) const;
    // Creates the directory (and, with intermediates, its missing parents). Answers
    // YES when the directory exists afterwards: an existing directory is success
    // with intermediates and failure without, as on the platform.
    BOOL createDirectoryAtPath(const Ptr<NSString>& path, BOOL withIntermediateDirectories) const;
    // Removes a file or a whole directory tree; NO when nothing was there or it failed.
    BOOL removeItemAtPath(const Ptr<NSString>& path) const;
};
