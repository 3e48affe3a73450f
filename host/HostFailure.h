#pragma once

#include <stdexcept>
#include <string>

namespace host {

// A failure of the environment the host runs in (a missing bundle, a file that
// cannot be read or written, bad input): its message is one line that names what
// failed and where. The program prints it and exits non-zero.
class HostFailure : public std::runtime_error {
public:
    explicit HostFailure(const std::string& message) : std::runtime_error(message) {}
};

// A command line or script that cannot be understood: printed like a failure,
// with the usage exit status.
class UsageFailure : public HostFailure {
public:
    using HostFailure::HostFailure;
};

} // namespace host
