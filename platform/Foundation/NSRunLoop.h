#pragma once

#include <poll.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSFileDescriptor.h"
#include "Foundation/NSObject.h"

// The main thread's run loop: everything the product does (timers, gesture
// time-outs, animation completions, host events) runs as a task scheduled on it
// against its clock.
//
// A pass reads the clock once and runs, in due-time order (ties in the order they
// were scheduled), every task due by then that was scheduled before the pass began.
// Work a task schedules for the current instant runs in the next pass, never in the
// pass that scheduled it.
class NSRunLoop : public NSObject {
public:
    using Task = std::function<void()>;
    using TaskId = std::uint64_t;

    // The one main run loop of the process; currentRunLoop is the same object (the
    // product runs on the main thread only).
    static NSRunLoop* mainRunLoop();
    static NSRunLoop* currentRunLoop() { return mainRunLoop(); }

    // The clock every pass reads. The default is the system's monotonic clock.
    void setClock(std::shared_ptr<Clock> clock);
    const Clock& clock() const { return *_clock; }
    BOOL usesManualClock() const { return _clock->isManual(); }
    Nanoseconds nowNanoseconds() const { return _clock->now(); }
    NSTimeInterval now() const { return SecondsFromNanoseconds(now_ns()); }

    // Schedules `task` to run at `due` (or at the next pass when that is already past).
    TaskId scheduleAt(Nanoseconds due, Task task);
    TaskId scheduleAfter(NSTimeInterval seconds, Task task);
    // Schedules `task` for the current instant: it runs in the next pass.
    TaskId performSoon(Task task) { return scheduleAt(now_ns(), std::move(task)); }
    // Cancels a task that has not run; unknown ids are ignored.
    void cancel(TaskId id);
    BOOL isScheduled(TaskId id) const { return _dueById.contains(id); }
    std::optional<Nanoseconds> nextDeadline() const;
    std::size_t pendingTaskCount() const { return _tasks.size(); }

    // Runs one pass at the clock's current time; answers how many tasks ran.
    std::size_t runPass();

    // Manual clock only: moves time forward by `seconds`, running every task due
    // on the way with the clock standing at each one's due time, tasks scheduled
    // during the advance included.
    void advance(NSTimeInterval seconds);
    void advanceTo(Nanoseconds target);

    // Real time: runs passes, sleeping until the next deadline, an event source or
    // a wake-up, until stop() is called. Event-source callbacks run on the calling
    // thread between passes.
    void run();
    // Runs until `predicate` answers true or `seconds` of clock time passed; answers
    // the predicate's last answer. On a manual clock the clock is advanced instead of
    // sleeping.
    BOOL runUntil(const std::function<bool()>& predicate, NSTimeInterval seconds);
    // Makes run() or runUntil() return after the current pass; callable from any thread.
    void stop();

    // Thread-safe: queues `task` for the next pass and wakes a sleeping run loop.
    void postFromAnyThread(Task task);
    // Watches a file descriptor while the run loop sleeps in run(); `onReady` runs on
    // the main thread when it becomes readable.
    void addEventSource(int fd, Task onReady);
    void removeEventSource(int fd);

    // Drops every task and event source, work their destructors queue included, and
    // goes back to the system clock. Destructors run with no lock held, so they may
    // use this loop. For tests that want a clean slate.
    void reset();

    NSRunLoop();
    ~NSRunLoop() override;

private:
    Nanoseconds now_ns() const { return _clock->now(); }
    void drainPosted();
    // Wakes a run loop sleeping in waitForWork; from any thread.
    void wake();
    void waitForWork(std::optional<Nanoseconds> deadline);
    // Runs the callbacks of the sources a wait found ready.
    void dispatchReady(const std::vector<pollfd>& fds);

    struct Key {
        Nanoseconds due;
        TaskId id;
        bool operator<(const Key& other) const { return due != other.due ? due < other.due : id < other.id; }
    };
    std::shared_ptr<Clock> _clock;
    std::map<Key, Task> _tasks;
    std::unordered_map<TaskId, Nanoseconds> _dueById;
    TaskId _nextId = 1;
    std::atomic<bool> _stopped = false;

    std::mutex _postedMutex;
    std::vector<Task> _posted;
    // Written to wake a sleeping run(); empty when it could not be made.
    NSFileDescriptor _wake;
    std::vector<std::pair<int, Task>> _sources;
    // What a wait polls, kept for the next: the run loop waits once a frame.
    std::vector<pollfd> _polled;
};
