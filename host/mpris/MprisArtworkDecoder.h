#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "mpris/MprisArtworkSource.h"

// Loads artwork on a worker thread of its own. Completions of loads still
// pending when it is destroyed never run.
class MprisArtworkDecoder final : public MprisArtworkSource {
public:
    MprisArtworkDecoder();
    ~MprisArtworkDecoder() override;
    MprisArtworkDecoder(const MprisArtworkDecoder&) = delete;
    MprisArtworkDecoder& operator=(const MprisArtworkDecoder&) = delete;

    void load(std::string url, Completion completion) override;

private:
    struct Request {
        std::string url;
        Completion completion;
    };
    void work();

    // Completions posted to the main run loop run only while this is alive.
    std::shared_ptr<int> _lifeline = std::make_shared<int>(0);
    std::mutex _mutex;
    std::condition_variable _wake;
    std::deque<Request> _requests;
    bool _stopping = false;
    std::thread _worker;
};
