// The costs the product pays on every tick: a run-loop pass with a repeating
// timer, a notification post to a handful of observers, a format, and reading
// the settings file.
#include <benchmark/benchmark.h>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"

namespace {

void TimerFiringsOnTheManualClock(benchmark::State& state) {
    auto* loop = NSRunLoop::mainRunLoop();
    loop->reset();
    loop->setClock(std::make_shared<ManualClock>());
    std::int64_t firings = 0;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(0.5, true, [&](const Ptr<NSTimer>&) { ++firings; });
    for (auto _ : state) {
        loop->advance(0.5);
    }
    timer->invalidate();
    loop->reset();
    state.counters["firings"] = static_cast<double>(firings);
}
BENCHMARK(TimerFiringsOnTheManualClock);

class Listener : public NSObject {
public:
    void observe(const Ptr<NSNotification>&) { ++count; }
    int count = 0;
};

void PostToTenObservers(benchmark::State& state) {
    auto* center = NSNotificationCenter::defaultCenter();
    center->reset();
    std::vector<Ptr<Listener>> listeners;
    for (int i = 0; i < 10; ++i) {
        listeners.push_back(alloc<Listener>());
        center->addObserver(listeners.back(), &Listener::observe, i % 2 ? "Other" : "Changed", nullptr);
    }
    for (auto _ : state) {
        center->postNotificationName("Changed", nullptr);
    }
    center->reset();
}
BENCHMARK(PostToTenObservers);

void FormatTitleLine(benchmark::State& state) {
    const auto title = NSStr("A Fairly Long Song Title");
    const auto artist = NSStr("Band");
    for (auto _ : state) {
        benchmark::DoNotOptimize(NSString::stringWithFormat("%@ - %@", title, artist));
    }
}
BENCHMARK(FormatTitleLine);

void ParseSettings(benchmark::State& state) {
    auto settings = NSMutableDictionary::dictionary();
    settings->setObject(NSStr("volume"), "startView");
    settings->setObject(NSNumber::numberWithBool(true), "shareArtwork");
    settings->setObject(NSNumber::numberWithBool(false), "showSeperators");
    settings->setObject(NSNumber::numberWithDouble(12), "roundedCornersValue");
    const auto format = state.range(0) ? NSPropertyListBinaryFormat_v1_0 : NSPropertyListXMLFormat_v1_0;
    const auto data = NSPropertyListSerialization::dataWithPropertyList(settings, format);
    for (auto _ : state) {
        benchmark::DoNotOptimize(NSPropertyListSerialization::propertyListWithData(data));
    }
}
BENCHMARK(ParseSettings)->Arg(0)->Arg(1);

} // namespace
