#pragma once

#include <cairo.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"
#include "MprisArtworkSource.h"
#include "MprisPlayerCommands.h"
#include "MprisPlayerState.h"
#include "MprisSession.h"

// Records every request as text: "PlayPause :1.5", "SetPosition :1.5 /t/1 5000000",
// "Seek :1.5 -2000000", "Read :1.5"... Seek and position completions are held
// until the test finishes them.
class RecordingCommands final : public MprisPlayerCommands {
public:
    void playPause(const std::string& owner) override { record("PlayPause " + owner); }
    void next(const std::string& owner) override { record("Next " + owner); }
    void previous(const std::string& owner) override { record("Previous " + owner); }
    void setPosition(const std::string& owner, const std::string& trackId, std::int64_t position,
                     Completion completion) override {
        record("SetPosition " + owner + " " + trackId + " " + std::to_string(position));
        pendingSeeks.push_back(std::move(completion));
    }
    void seek(const std::string& owner, std::int64_t offset, Completion completion) override {
        record("Seek " + owner + " " + std::to_string(offset));
        pendingSeeks.push_back(std::move(completion));
    }
    void raise(const std::string& owner) override { record("Raise " + owner); }
    void setVolume(const std::string& owner, double volume) override {
        record("Volume " + owner + " " + std::to_string(volume));
    }
    void readPosition(const std::string& owner) override { record("Read " + owner); }

    // Answers the oldest seek still waiting.
    void finishSeek(bool accepted = true) {
        ASSERT_FALSE(pendingSeeks.empty());
        auto completion = std::move(pendingSeeks.front());
        pendingSeeks.erase(pendingSeeks.begin());
        completion(accepted);
    }
    // The requests recorded since the last call.
    std::vector<std::string> take() { return std::exchange(requests, {}); }

    std::vector<std::string> requests;
    std::vector<Completion> pendingSeeks;

private:
    void record(std::string request) { requests.push_back(std::move(request)); }
};

// Holds every load until the test completes it.
class ManualArtworkSource final : public MprisArtworkSource {
public:
    void load(std::string url, Completion completion) override {
        loads.push_back({std::move(url), std::move(completion)});
    }
    struct Load {
        std::string url;
        Completion completion;
    };
    std::vector<Load> loads;
};

// A solid-colour ARGB32 surface.
inline UICairoSurface solidSurface(int width, int height, double red, double green, double blue) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_paint(cr);
    cairo_destroy(cr);
    return UICairoSurface(surface);
}

// The colour of one pixel as 0xAARRGGBB.
inline std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    const auto* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

// A player snapshot for tests: playing a track with an id and a length of 200 s.
inline MprisPlayerSnapshot makePlayer(const std::string& owner, const std::string& name,
                                      MprisPlaybackStatus status = MprisPlaybackStatus::playing,
                                      const std::string& title = "Song") {
    MprisPlayerSnapshot player;
    player.owner = owner;
    player.busName = std::string(kMprisBusNamePrefix) + name;
    player.identity = name;
    player.status = status;
    player.metadata.title = title;
    player.metadata.artist = "Artist";
    player.metadata.trackId = "/track/1";
    player.metadata.lengthMicroseconds = 200'000'000;
    player.canSeek = true;
    return player;
}

// A fresh manual clock at 0, an empty run loop and notification centre, and a
// session over recording commands and a manual artwork source.
class MprisSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSRunLoop::mainRunLoop()->reset();
        NSRunLoop::mainRunLoop()->setClock(_clock);
        NSNotificationCenter::defaultCenter()->reset();
        makeSession({});
    }
    void TearDown() override {
        _session = nullptr;
        NSRunLoop::mainRunLoop()->reset();
        NSNotificationCenter::defaultCenter()->reset();
    }
    void makeSession(MprisSession::Options options) {
        auto commands = std::make_unique<RecordingCommands>();
        auto artwork = std::make_unique<ManualArtworkSource>();
        _commands = commands.get();
        _artwork = artwork.get();
        _session = alloc<MprisSession>()->initWithCommands(std::move(commands), std::move(artwork), options);
        _session->setNowPlayingChangedHandler([this] { ++_announcements; });
        _announcements = 0;
    }
    void advance(double seconds) { NSRunLoop::mainRunLoop()->advance(seconds); }
    // Runs the work queued for the current instant.
    void settle() { NSRunLoop::mainRunLoop()->advance(0); }
    std::string followedOwner() const {
        const auto* player = _session->followedPlayer();
        return player ? player->owner : std::string();
    }

    std::shared_ptr<ManualClock> _clock = std::make_shared<ManualClock>();
    Ptr<MprisSession> _session;
    RecordingCommands* _commands = nullptr;
    ManualArtworkSource* _artwork = nullptr;
    int _announcements = 0;
};
