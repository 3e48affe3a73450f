#include "mpris/MprisArtworkDecoder.h"

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSWhileAlive.h"
#include "mpris/MprisArtworkLoader.h"

MprisArtworkDecoder::MprisArtworkDecoder()
    : MprisArtworkDecoder([loader = std::make_shared<MprisArtworkLoader>(MprisArtworkLoader::Options{})](
                              const std::string& url, const std::function<bool()>& superseded) {
          return loader->load(url, superseded);
      }) {}

MprisArtworkDecoder::MprisArtworkDecoder(Loader loader)
    : _loader(std::move(loader)), _worker([this] { work(); }) {}

MprisArtworkDecoder::~MprisArtworkDecoder() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
        // A fetch in progress gives up.
        ++_generation;
    }
    _wake.notify_all();
    _worker.join();
}

void MprisArtworkDecoder::load(std::string url, Completion completion) {
    // The request it replaces goes here, on the calling (main) thread.
    std::optional<Request> superseded;
    {
        std::lock_guard lock(_mutex);
        superseded = std::exchange(_waiting, Request{std::move(url), std::move(completion), ++_generation});
    }
    _wake.notify_one();
}

void MprisArtworkDecoder::work() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(_mutex);
            _wake.wait(lock, [this] { return _stopping || _waiting; });
            if (_stopping) {
                return;
            }
            request = std::move(*_waiting);
            _waiting.reset();
        }
        const std::uint64_t generation = request.generation;
        auto artwork = _loader(request.url, [this, generation] { return _generation.load() != generation; });
        // The completion travels back with the task, so it is destroyed on the main
        // thread whether the task runs or is dropped; the session ignores an outdated one.
        NSRunLoop::mainRunLoop()->postFromAnyThread(
            NSWhileAlive(_lifeline, [completion = std::move(request.completion), artwork](const Ptr<int>&) {
                completion(artwork);
            }));
    }
}
