#include "Foundation/NSFileManager.h"

#include <filesystem>
#include <system_error>

#include "Foundation/NSPathUtilities.h"

namespace fs = std::filesystem;

NSFileManager* NSFileManager::defaultManager() {
    static auto* manager = new NSFileManager();
    return manager;
}

BOOL NSFileManager::fileExistsAtPath(const Ptr<NSString>& path, BOOL* isDirectory) const {
    if (isDirectory) {
        *isDirectory = NO;
    }
    if (!path || path->length() == 0) {
        return NO;
    }
    std::error_code error;
    const fs::file_status status = fs::status(NSResolveDevicePath(path), error);
    if (error || !fs::exists(status)) {
        return NO;
    }
    if (isDirectory) {
        *isDirectory = fs::is_directory(status);
    }
    return YES;
}

BOOL NSFileManager::createDirectoryAtPath(const Ptr<NSString>& path, BOOL withIntermediateDirectories) const {
    if (!path || path->length() == 0) {
        return NO;
    }
    const fs::path directory = NSResolveDevicePath(path);
    std::error_code error;
    if (withIntermediateDirectories) {
        fs::create_directories(directory, error);
        return !error && fs::is_directory(directory, error);
    }
    return fs::create_directory(directory, error) && !error;
}

BOOL NSFileManager::removeItemAtPath(const Ptr<NSString>& path) const {
    if (!path || path->length() == 0) {
        return NO;
    }
    std::error_code error;
    const auto removed = fs::remove_all(NSResolveDevicePath(path), error);
    return !error && removed > 0;
}
