#include "Foundation/NSRunLoop.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <limits>
#include <poll.h>
#include <sys/eventfd.h>

#include "Foundation/NSLog.h"

namespace {

// A callback chain that keeps queueing work at one instant would never let time
// move; past this many passes at one instant the advance gives up on it.
constexpr std::size_t kMaxPassesPerInstant = 1'000'000;

// How often a run loop without a wake-up event looks for posted work while it sleeps.
constexpr int kWakeFallbackPollMs = 10;

} // namespace

NSRunLoop::NSRunLoop() : _clock(std::make_shared<MonotonicClock>()) {
    _wake = NSFileDescriptor(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!_wake.valid()) {
        NSLog("NSRunLoop: no wake-up event (%s); checking for posted work every %d ms instead",
              std::strerror(errno), kWakeFallbackPollMs);
    }
}

NSRunLoop::~NSRunLoop() = default;

NSRunLoop* NSRunLoop::mainRunLoop() {
    // Destroyed with the other function-local statics at exit, after main returns;
    // tasks still queued then are destroyed with it.
    static auto* loop = [] {
        static auto owner = std::make_shared<NSRunLoop>();
        return owner.get();
    }();
    return loop;
}

void NSRunLoop::setClock(std::shared_ptr<Clock> clock) {
    assert(clock);
    _clock = std::move(clock);
}

NSRunLoop::TaskId NSRunLoop::scheduleAt(Nanoseconds due, Task task) {
    const TaskId id = _nextId++;
    _tasks.emplace(Key{due, id}, std::move(task));
    _dueById.emplace(id, due);
    return id;
}

NSRunLoop::TaskId NSRunLoop::scheduleAfter(NSTimeInterval seconds, Task task) {
    const Nanoseconds delay = seconds > 0 ? NanosecondsFromSeconds(seconds) : 0;
    const Nanoseconds now = now_ns();
    const Nanoseconds due = delay > std::numeric_limits<Nanoseconds>::max() - now
                                ? std::numeric_limits<Nanoseconds>::max()
                                : now + delay;
    return scheduleAt(due, std::move(task));
}

void NSRunLoop::cancel(TaskId id) {
    const auto found = _dueById.find(id);
    if (found == _dueById.end()) {
        return;
    }
    const auto task = _tasks.find(Key{found->second, id});
    // The task is destroyed after the bookkeeping is consistent: its destructor may
    // schedule or cancel work on this loop.
    Task dropped = std::move(task->second);
    _tasks.erase(task);
    _dueById.erase(found);
}

std::optional<Nanoseconds> NSRunLoop::nextDeadline() const {
    if (_tasks.empty()) {
        return std::nullopt;
    }
    return _tasks.begin()->first.due;
}

std::size_t NSRunLoop::runPass() {
    drainPosted();
    const Nanoseconds now = now_ns();
    const TaskId firstLater = _nextId;
    std::size_t ran = 0;
    while (!_tasks.empty()) {
        // Tasks scheduled during this pass wait for the next one, even when due.
        auto next = _tasks.begin();
        while (next != _tasks.end() && next->first.due <= now && next->first.id >= firstLater) {
            ++next;
        }
        if (next == _tasks.end() || next->first.due > now) {
            break;
        }
        Task task = std::move(next->second);
        _dueById.erase(next->first.id);
        _tasks.erase(next);
        task();
        ++ran;
    }
    return ran;
}

void NSRunLoop::advance(NSTimeInterval seconds) {
    const Nanoseconds step = seconds > 0 ? NanosecondsFromSeconds(seconds) : 0;
    const Nanoseconds now = now_ns();
    const Nanoseconds latest = std::numeric_limits<Nanoseconds>::max();
    advanceTo(step > latest - now ? latest : now + step);
}

void NSRunLoop::advanceTo(Nanoseconds target) {
    auto* manual = const_cast<ManualClock*>(dynamic_cast<const ManualClock*>(_clock.get()));
    assert(manual && "advance needs the manual clock");
    if (!manual) {
        return;
    }
    std::size_t passesAtThisInstant = 0;
    Nanoseconds instant = manual->now();
    for (;;) {
        runPass();
        const auto deadline = nextDeadline();
        if (!deadline || *deadline > target) {
            break;
        }
        if (*deadline > manual->now()) {
            manual->set(*deadline);
        }
        if (manual->now() == instant) {
            if (++passesAtThisInstant > kMaxPassesPerInstant) {
                NSLog("NSRunLoop: work keeps being queued at one instant; leaving it for later");
                break;
            }
        } else {
            instant = manual->now();
            passesAtThisInstant = 0;
        }
    }
    manual->set(target);
}

BOOL NSRunLoop::runUntil(const std::function<bool()>& predicate, NSTimeInterval seconds) {
    const Nanoseconds step = seconds > 0 ? NanosecondsFromSeconds(seconds) : 0;
    const Nanoseconds latest = std::numeric_limits<Nanoseconds>::max();
    const Nanoseconds end = step > latest - now_ns() ? latest : now_ns() + step;
    _stopped = false;
    while (!predicate() && !_stopped) {
        if (now_ns() >= end) {
            runPass();
            return predicate();
        }
        if (usesManualClock()) {
            const auto deadline = nextDeadline();
            advanceTo(deadline && *deadline < end ? std::max(*deadline, now_ns()) : end);
        } else {
            runPass();
            if (predicate()) {
                break;
            }
            auto deadline = nextDeadline();
            waitForWork(deadline && *deadline < end ? deadline : std::optional<Nanoseconds>(end));
        }
    }
    return predicate();
}

void NSRunLoop::run() {
    _stopped = false;
    while (!_stopped) {
        runPass();
        if (_stopped) {
            break;
        }
        waitForWork(nextDeadline());
    }
}

void NSRunLoop::stop() {
    _stopped = true;
    wake();
}

void NSRunLoop::wake() {
    if (_wake.valid()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const bool written = _wake.writeAll(&one, sizeof one);
    }
}

void NSRunLoop::waitForWork(std::optional<Nanoseconds> deadline) {
    {
        std::lock_guard lock(_postedMutex);
        if (!_posted.empty()) {
            return;
        }
    }
    int timeoutMs = -1;
    if (deadline) {
        const Nanoseconds wait = *deadline - now_ns();
        if (wait <= 0) {
            return;
        }
        // Round up so that we never wake just before the deadline and spin.
        timeoutMs = static_cast<int>(std::min<Nanoseconds>((wait + 999'999) / 1'000'000, 60'000));
    }
    if (!_wake.valid()) {
        // Nothing can wake the poll, so it looks for posts and stop() on its own.
        timeoutMs = timeoutMs < 0 ? kWakeFallbackPollMs : std::min(timeoutMs, kWakeFallbackPollMs);
    }
    // A wait nested in a source's callback finds the kept set taken and makes its own.
    std::vector<pollfd> fds = std::move(_polled);
    fds.clear();
    fds.push_back({_wake.get(), POLLIN, 0});
    for (const auto& [fd, task] : _sources) {
        fds.push_back({fd, POLLIN, 0});
    }
    if (::poll(fds.data(), fds.size(), timeoutMs) > 0) {
        dispatchReady(fds);
    }
    _polled = std::move(fds);
}

void NSRunLoop::dispatchReady(const std::vector<pollfd>& fds) {
    if (fds[0].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = _wake.readSome(&count, sizeof count);
    }
    for (std::size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
            const int fd = fds[i].fd;
            for (const auto& [sourceFd, task] : _sources) {
                if (sourceFd == fd) {
                    Task copy = task;
                    copy();
                    break;
                }
            }
        }
    }
}

void NSRunLoop::postFromAnyThread(Task task) {
    {
        std::lock_guard lock(_postedMutex);
        _posted.push_back(std::move(task));
    }
    wake();
}

void NSRunLoop::drainPosted() {
    std::vector<Task> posted;
    {
        std::lock_guard lock(_postedMutex);
        posted.swap(_posted);
    }
    for (auto& task : posted) {
        performSoon(std::move(task));
    }
}

void NSRunLoop::addEventSource(int fd, Task onReady) {
    removeEventSource(fd);
    _sources.emplace_back(fd, std::move(onReady));
}

void NSRunLoop::removeEventSource(int fd) {
    // Dropped callbacks are destroyed once the list is consistent again: their
    // destructors may add or remove sources.
    const auto dropped = std::stable_partition(_sources.begin(), _sources.end(),
                                               [fd](const auto& source) { return source.first != fd; });
    std::vector<std::pair<int, Task>> droppedSources(std::make_move_iterator(dropped),
                                                     std::make_move_iterator(_sources.end()));
    _sources.erase(dropped, _sources.end());
}

void NSRunLoop::reset() {
    // Everything held is moved out first and destroyed with no lock held and the
    // loop consistent: a destructor may schedule, post or cancel on this loop. What
    // such destructors queue is dropped in turn, until nothing is left.
    for (;;) {
        auto tasks = std::move(_tasks);
        _tasks.clear();
        _dueById.clear();
        std::vector<Task> posted;
        {
            std::lock_guard lock(_postedMutex);
            posted.swap(_posted);
        }
        auto sources = std::move(_sources);
        _sources.clear();
        if (tasks.empty() && posted.empty() && sources.empty()) {
            break;
        }
    }
    _stopped = false;
    _clock = std::make_shared<MonotonicClock>();
}
