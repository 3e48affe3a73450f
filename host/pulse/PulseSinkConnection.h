#pragma once

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/thread-mainloop.h>
#include <pulse/volume.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// The sound server's default output, as it last reported it.
struct PulseSink {
    std::string name;
    pa_cvolume volume{};
    bool muted = false;
};

// A connection to the sound server that follows its default output (sink). The
// server's protocol runs on a thread of the connection's own; what it learns
// reaches the handlers as tasks on the main run loop, and never once the
// connection is gone. It never starts a server: when none answers, or the one
// it reached goes away, `ended` comes and nothing follows. Main thread only.
class PulseSinkConnection {
public:
    struct Handlers {
        // The default sink (nothing when the server has none), at first and after each change.
        std::function<void(const std::optional<PulseSink>& sink)> sinkChanged;
        // The connection could not be made or was lost.
        std::function<void()> ended;
    };

    // Starts connecting to `server` (nil: the one the environment names, as
    // PULSE_SERVER or the client configuration).
    PulseSinkConnection(const std::optional<std::string>& server, Handlers handlers);
    // Stops the thread; no handler is called afterwards.
    ~PulseSinkConnection();
    PulseSinkConnection(const PulseSinkConnection&) = delete;
    PulseSinkConnection& operator=(const PulseSinkConnection&) = delete;

    // Asks the server to set sink `name`'s volume and, with `unmute`, to unmute it.
    // Ignored while not connected.
    void setSinkVolume(const std::string& name, const pa_cvolume& volume, bool unmute);

private:
    struct MainloopFree {
        void operator()(pa_threaded_mainloop* mainloop) const { pa_threaded_mainloop_free(mainloop); }
    };
    struct ContextUnref {
        void operator()(pa_context* context) const { pa_context_unref(context); }
    };

    // On the connection's thread.
    static void contextStateChanged(pa_context* context, void* connection);
    static void subscriptionEvent(pa_context* context, pa_subscription_event_type_t type, uint32_t index,
                                  void* connection);
    static void serverInfoArrived(pa_context* context, const pa_server_info* info, void* connection);
    static void sinkInfoArrived(pa_context* context, const pa_sink_info* info, int last, void* connection);
    void querySink();
    void postSink(std::optional<PulseSink> sink);
    void postEnded();

    // Reached weakly by the posted tasks; only the main thread calls them.
    std::shared_ptr<Handlers> _handlers;
    std::weak_ptr<Handlers> _postTo;
    std::atomic<bool> _ended = false;
    std::unique_ptr<pa_threaded_mainloop, MainloopFree> _mainloop;
    std::unique_ptr<pa_context, ContextUnref> _context;
};
