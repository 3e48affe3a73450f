// Measurements of the MPRIS back-end against a fake player on a private bus:
// how long a player's PropertiesChanged takes to reach the model on the main
// thread, and how many D-Bus calls the client makes while the widget is shown.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>

#include "mpris/MprisBusClient.h"
#include "support/MprisBusTestSupport.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// A private bus with one playing fake player and a controller following it.
struct BusSetup {
    BusSetup() {
        NSRunLoop::mainRunLoop()->reset();
        bus = std::make_unique<PrivateBus>(directory.path());
        player =
            std::make_unique<FakeMprisPlayer>(bus->address(), FakeMprisPlayer::playing("bench", "Start"));
        session = MprisSession::sessionOnBus(bus->address(), {});
        controller = alloc<MprisMediaController>()->initWithSession(session);
        ready = waitUntil([&] { return title() == "Start"; }, 10);
    }
    ~BusSetup() {
        controller = nullptr;
        session = nullptr;
        player.reset();
        bus.reset();
        NSRunLoop::mainRunLoop()->reset();
    }
    std::string title() const { return NSStringText(controller->nowPlayingTitle()); }
    std::uint64_t callCount() const {
        return dynamic_cast<const MprisBusClient&>(*session->commands()).methodCallCount();
    }

    TemporaryDirectory directory;
    std::unique_ptr<PrivateBus> bus;
    std::unique_ptr<FakeMprisPlayer> player;
    Ptr<MprisSession> session;
    Ptr<MprisMediaController> controller;
    bool ready = false;
};

// From the player sending PropertiesChanged with a new title to the model on the
// main thread showing that title.
void PropertiesChangedToTitle(benchmark::State& state) {
    BusSetup setup;
    if (!setup.ready) {
        state.SkipWithError("the player was not found");
        return;
    }
    std::vector<double> samples;
    int serial = 0;
    for (auto _ : state) {
        const auto title = "Title " + std::to_string(++serial);
        const sdbus::Variant metadata(FakeMprisPlayer::metadata(title, "/track/1"));
        const auto start = SteadyClock::now();
        setup.player->emitPropertiesChanged(FakeMprisPlayer::kPlayerInterface, {{"Metadata", metadata}});
        if (!waitUntil([&] { return setup.title() == title; }, 5)) {
            state.SkipWithError("the title never arrived");
            return;
        }
        const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds);
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_us"] = samples[samples.size() / 2] * 1e6;
    state.counters["p90_us"] = samples[samples.size() * 9 / 10] * 1e6;
    state.counters["max_us"] = samples.back() * 1e6;
}
BENCHMARK(PropertiesChangedToTitle)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

// D-Bus method calls per second over ten seconds of a playing player, with the
// widget presented (argument 1) or not (0).
void CallsPerSecond(benchmark::State& state) {
    BusSetup setup;
    if (!setup.ready) {
        state.SkipWithError("the player was not found");
        return;
    }
    // Let the discovery traffic settle before counting.
    NSRunLoop::mainRunLoop()->runUntil([] { return false; }, 0.5);
    setup.controller->setPresented(state.range(0) != 0);
    constexpr double kWindowSeconds = 10;
    for (auto _ : state) {
        const auto before = setup.callCount();
        NSRunLoop::mainRunLoop()->runUntil([] { return false; }, kWindowSeconds);
        state.counters["calls_per_second"] = static_cast<double>(setup.callCount() - before) / kWindowSeconds;
    }
}
BENCHMARK(CallsPerSecond)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
