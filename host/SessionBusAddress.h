#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// One entry of a D-Bus address list, as far as the socket probe cares.
struct BusSocket {
    enum class Kind {
        // A Unix socket at a file system path.
        path,
        // A Unix socket in the abstract namespace.
        abstract,
        // Anything the probe cannot check (tcp, unknown transports, malformed
        // entries): the bus library gets to decide.
        unprobed,
    };
    Kind kind = Kind::unprobed;
    // The socket's name, unescaped; empty for an unprobed entry.
    std::string name;

    bool operator==(const BusSocket&) const = default;
};

// The entries of a D-Bus address (entries separated by ';', each
// `transport:key=value,...` with bytes escaped as %XX), in order. Empty entries
// are skipped.
std::vector<BusSocket> parseBusAddress(std::string_view address);

// The session bus address the bus library would use when none is given: the value
// of DBUS_SESSION_BUS_ADDRESS, else the `bus` socket in XDG_RUNTIME_DIR; nil when
// neither is set.
std::optional<std::string> defaultSessionBusAddress(const char* sessionBusAddress,
                                                    const char* runtimeDirectory);

// Whether a bus may answer at `address`: true when one of its Unix sockets accepts
// a connection or one of its entries cannot be probed. The bus library leaks an
// object on every failed attempt, so a missing bus is found out here instead.
bool busMayBeListening(std::string_view address);

} // namespace host
