#pragma once

#include <cairo.h>
#include <deque>

#include "mpris/MprisMediaController.h"
#include "mpris/MprisSystemVolume.h"
#include "support/TestSupport.h"

// Records every request as text ("PlayPause :1.5", "SetPosition :1.5 /t/1 5000000",
// "Seek :1.5 -2000000", "Read :1.5"...); seeks wait for the test to finish them.
class RecordingCommands final : public MprisPlayerCommands {
public:
    void playPause(const std::string& owner) override { record("PlayPause " + owner); }
    void next(const std::string& owner) override { record("Next " + owner); }
    void previous(const std::string& owner) override { record("Previous " + owner); }
    void setPosition(const std::string& owner, const std::string& track, std::int64_t to,
                     Completion done) override {
        record("SetPosition " + owner + " " + track + " " + std::to_string(to), std::move(done));
    }
    void seek(const std::string& owner, std::int64_t by, Completion done) override {
        record("Seek " + owner + " " + std::to_string(by), std::move(done));
    }
    void raise(const std::string& owner) override { record("Raise " + owner); }
    void setVolume(const std::string& owner, double to) override {
        record("Volume " + owner + " " + std::to_string(to));
    }
    void readPosition(const std::string& owner) override { record("Read " + owner); }

    // Answers the oldest seek still waiting.
    void finishSeek() {
        ASSERT_FALSE(pendingSeeks.empty());
        const auto completion = std::move(pendingSeeks.front());
        pendingSeeks.pop_front();
        completion(true);
    }
    // The requests recorded since the last call.
    std::vector<std::string> take() { return std::exchange(requests, {}); }

    std::vector<std::string> requests;
    std::deque<Completion> pendingSeeks;

private:
    void record(std::string request, Completion done = nullptr) {
        requests.push_back(std::move(request));
        if (done) {
            pendingSeeks.push_back(std::move(done));
        }
    }
};

// Holds every load (URL and completion) until the test completes it.
class ManualArtworkSource final : public MprisArtworkSource {
public:
    void load(std::string url, Completion done) override {
        loads.push_back({std::move(url), std::move(done)});
    }
    std::vector<std::pair<std::string, Completion>> loads;
};

// An image surface of that size (transparent).
inline UICairoSurface surfaceOfSize(int width, int height) {
    return UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
}

// Writes a PNG file of one colour.
inline void writePng(const std::string& path, int width, int height, double red, double green, double blue) {
    const auto surface = surfaceOfSize(width, height);
    cairo_t* cr = cairo_create(surface.get());
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(surface.get(), path.c_str());
}

// A player that can seek, playing track "/t/1", 200 s long, titled after its owner.
inline MprisPlayerSnapshot makePlayer(const std::string& owner,
                                      MprisPlaybackStatus status = MprisPlaybackStatus::playing,
                                      const std::string& name = "player") {
    MprisPlayerSnapshot player{.owner = owner, .busName = kMprisBusNamePrefix + name, .identity = name};
    player.status = status;
    player.metadata = {
        .title = "Song " + owner, .artist = "Artist", .lengthMicroseconds = 200'000'000, .trackId = "/t/1"};
    player.canSeek = true;
    return player;
}

// A session on recording commands, manual artwork and the manual clock, with its services.
class MprisSessionTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        makeSession({});
    }
    void makeSession(MprisSession::Options options) {
        auto commands = std::make_unique<RecordingCommands>();
        auto artwork = std::make_unique<ManualArtworkSource>();
        _commands = commands.get();
        _artwork = artwork.get();
        _session = alloc<MprisSession>()->initWithCommands(std::move(commands), std::move(artwork), options);
        _controller = alloc<MprisMediaController>()->initWithSession(_session);
        _volume = alloc<MprisSystemVolume>()->initWithSession(_session);
    }
    // Runs the work queued for the current instant.
    void settle() { advance(0); }

    Ptr<MprisSession> _session;
    RecordingCommands* _commands = nullptr;
    ManualArtworkSource* _artwork = nullptr;
    Ptr<MprisMediaController> _controller;
    Ptr<MprisSystemVolume> _volume;
};
