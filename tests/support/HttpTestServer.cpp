#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

HttpTestServer::HttpTestServer(std::map<std::string, std::string> responses)
    : _responses(std::move(responses)) {
    _listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t length = sizeof address;
    if (::bind(_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(_listener, 16) != 0 ||
        ::getsockname(_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot start the test HTTP server");
    }
    _port = ntohs(address.sin_port);
    _thread = std::thread([this] { serve(); });
}

HttpTestServer::~HttpTestServer() {
    // Ends the accept the thread waits in.
    ::shutdown(_listener, SHUT_RDWR);
    _thread.join();
    for (const int connection : _unanswered) {
        ::close(connection);
    }
    ::close(_listener);
}

void HttpTestServer::serve() {
    for (int connection; (connection = ::accept4(_listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        std::string request;
        char buffer[4096];
        for (ssize_t count; request.find("\r\n\r\n") == std::string::npos &&
                            (count = ::recv(connection, buffer, sizeof buffer, 0)) > 0;) {
            request.append(buffer, static_cast<std::size_t>(count));
        }
        ++_requests;
        const auto pathStart = request.find(' ') + 1;
        const auto found =
            _responses.find(request.substr(pathStart, request.find(' ', pathStart) - pathStart));
        const std::string answer =
            found != _responses.end() ? found->second : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        if (answer.empty()) {
            _unanswered.push_back(connection);
            continue;
        }
        for (std::size_t sent = 0; sent < answer.size();) {
            const ssize_t count =
                ::send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
            if (count <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(count);
        }
        ::close(connection);
    }
}
