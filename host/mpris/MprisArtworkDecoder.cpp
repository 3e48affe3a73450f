#include "mpris/MprisArtworkDecoder.h"

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSWhileAlive.h"
#include "mpris/MprisArtwork.h"

MprisArtworkDecoder::MprisArtworkDecoder() : _worker([this] { work(); }) {}

MprisArtworkDecoder::~MprisArtworkDecoder() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
    }
    _wake.notify_all();
    _worker.join();
}

void MprisArtworkDecoder::load(std::string url, Completion completion) {
    {
        std::lock_guard lock(_mutex);
        _requests.push_back({std::move(url), std::move(completion)});
    }
    _wake.notify_one();
}

void MprisArtworkDecoder::work() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(_mutex);
            _wake.wait(lock, [this] { return _stopping || !_requests.empty(); });
            if (_stopping) {
                return;
            }
            request = std::move(_requests.front());
            _requests.pop_front();
        }
        auto artwork = mpris::loadArtwork(request.url);
        // The completion travels back with the task, so it is destroyed on the main
        // thread whether the task runs or is dropped.
        NSRunLoop::mainRunLoop()->postFromAnyThread(
            NSWhileAlive(_lifeline, [completion = std::move(request.completion), artwork](const Ptr<int>&) {
                completion(artwork);
            }));
    }
}
