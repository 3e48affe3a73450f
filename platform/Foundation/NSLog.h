#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "Foundation/NSString.h"

// The diagnostic log: one line to standard error, with the date, the process name
// and id, then the message formatted as stringWithFormat formats.
template <class... Args> void NSLog(std::string_view format, const Args&... args);

// Writes one already formatted message.
void NSLogMessage(const std::string& message);

// Receives every logged message (without the date and process prefix) instead of
// standard error while set; the host and tests capture the log this way.
using NSLogSink = std::function<void(const std::string& message)>;
void NSLogSetSink(NSLogSink sink);

template <class... Args> void NSLog(std::string_view format, const Args&... args) {
    NSLogMessage(NSString::stringWithFormat(format, args...)->UTF8String());
}
