#pragma once

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 at a port of its own, on a thread of its own. A
// request for a path in `responses` gets that text as its whole answer (an empty
// text: never an answer), any other path a 404.
class HttpTestServer {
public:
    explicit HttpTestServer(std::map<std::string, std::string> responses);
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;
    ~HttpTestServer();

    // "http://127.0.0.1:<port><path>".
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(_port) + path;
    }
    // Requests received so far.
    int requests() const { return _requests; }

private:
    void serve();

    std::map<std::string, std::string> _responses;
    int _listener = -1;
    int _port = 0;
    std::atomic<int> _requests = 0;
    std::vector<int> _unanswered;
    std::thread _thread;
};
