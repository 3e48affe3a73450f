#include "host/SessionBusAddress.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <sys/socket.h>
#include <sys/un.h>

#include "Foundation/NSFileDescriptor.h"
#include "Foundation/NSUTF8.h"

namespace host {
namespace {

BusSocket parseBusAddressEntry(std::string_view entry) {
    const auto colon = entry.find(':');
    if (colon == std::string_view::npos || entry.substr(0, colon) != "unix") {
        return {};
    }
    std::optional<BusSocket> found;
    std::string_view rest = entry.substr(colon + 1);
    while (!rest.empty()) {
        const auto pair = rest.substr(0, rest.find(','));
        rest.remove_prefix(std::min(rest.size(), pair.size() + 1));
        const auto equals = pair.find('=');
        if (equals == std::string_view::npos) {
            return {};
        }
        const auto key = pair.substr(0, equals);
        if (key != "path" && key != "abstract") {
            continue;
        }
        auto name = NSRemovingPercentEncoding(pair.substr(equals + 1), NO);
        // Two sockets in one entry, or one without a usable name: not ours to judge.
        if (found || !name || name->empty()) {
            return {};
        }
        found =
            BusSocket{key == "path" ? BusSocket::Kind::path : BusSocket::Kind::abstract, std::move(*name)};
    }
    return found.value_or(BusSocket{});
}

// Whether something accepts a connection at `socket`; true when it cannot be tried.
bool busSocketAccepts(const BusSocket& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = socket.kind == BusSocket::Kind::abstract ? 1 : 0;
    if (socket.kind == BusSocket::Kind::unprobed || socket.name.size() + offset >= sizeof address.sun_path) {
        return true;
    }
    socket.name.copy(address.sun_path + offset, socket.name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socket.name.size() + offset);
    const NSFileDescriptor probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return !probe.valid() || ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0;
}

// `value` escaped for an address: every byte but the few that may stand plain as %XX.
std::string escapeBusAddressValue(std::string_view value) {
    constexpr std::string_view kPlain = "-_/.\\*";
    constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    for (const char character : value) {
        const auto byte = static_cast<unsigned char>(character);
        if ((byte < 0x80 && std::isalnum(byte)) || kPlain.find(character) != std::string_view::npos) {
            escaped.push_back(character);
        } else {
            escaped += {'%', kHex[byte >> 4], kHex[byte & 0xf]};
        }
    }
    return escaped;
}

} // namespace

std::vector<BusSocket> parseBusAddress(std::string_view address) {
    std::vector<BusSocket> sockets;
    while (!address.empty()) {
        const auto entry = address.substr(0, address.find(';'));
        address.remove_prefix(std::min(address.size(), entry.size() + 1));
        if (!entry.empty()) {
            sockets.push_back(parseBusAddressEntry(entry));
        }
    }
    return sockets;
}

std::optional<std::string> defaultSessionBusAddress(const char* sessionBusAddress,
                                                    const char* runtimeDirectory) {
    if (sessionBusAddress && *sessionBusAddress) {
        return std::string(sessionBusAddress);
    }
    if (runtimeDirectory && *runtimeDirectory) {
        return "unix:path=" + escapeBusAddressValue(runtimeDirectory) + "/bus";
    }
    return std::nullopt;
}

bool busMayBeListening(std::string_view address) {
    const auto sockets = parseBusAddress(address);
    // An address with no entry at all is the library's to reject.
    return sockets.empty() || std::any_of(sockets.begin(), sockets.end(), busSocketAccepts);
}

} // namespace host
