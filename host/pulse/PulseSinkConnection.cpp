#include "pulse/PulseSinkConnection.h"

#include <pulse/subscribe.h>

#include <utility>

#include "Foundation/NSRunLoop.h"

namespace {

constexpr const char* kPulseApplicationName = "Trillbox";

// Drops the reference to an operation the connection does not follow up on.
void releasePulseOperation(pa_operation* operation) {
    if (operation) {
        pa_operation_unref(operation);
    }
}

} // namespace

PulseSinkConnection::PulseSinkConnection(const std::optional<std::string>& server, Handlers handlers)
    : _handlers(std::make_shared<Handlers>(std::move(handlers))), _postTo(_handlers) {
    _mainloop.reset(pa_threaded_mainloop_new());
    if (!_mainloop) {
        postEnded();
        return;
    }
    _context.reset(pa_context_new(pa_threaded_mainloop_get_api(_mainloop.get()), kPulseApplicationName));
    if (!_context) {
        postEnded();
        return;
    }
    pa_context_set_state_callback(_context.get(), &PulseSinkConnection::contextStateChanged, this);
    pa_context_set_subscribe_callback(_context.get(), &PulseSinkConnection::subscriptionEvent, this);
    // The thread is not running yet, so the context needs no lock here. A server
    // that is not running stays so: the widget only adjusts one that is.
    if (pa_context_connect(_context.get(), server ? server->c_str() : nullptr, PA_CONTEXT_NOAUTOSPAWN,
                           nullptr) < 0 ||
        pa_threaded_mainloop_start(_mainloop.get()) < 0) {
        postEnded();
    }
}

PulseSinkConnection::~PulseSinkConnection() {
    if (_mainloop) {
        pa_threaded_mainloop_stop(_mainloop.get());
    }
    if (_context) {
        pa_context_set_state_callback(_context.get(), nullptr, nullptr);
        pa_context_set_subscribe_callback(_context.get(), nullptr, nullptr);
        pa_context_disconnect(_context.get());
        _context.reset();
    }
    _mainloop.reset();
}

void PulseSinkConnection::setSinkVolume(const std::string& name, const pa_cvolume& volume, bool unmute) {
    if (!_context) {
        return;
    }
    pa_threaded_mainloop_lock(_mainloop.get());
    if (pa_context_get_state(_context.get()) == PA_CONTEXT_READY) {
        releasePulseOperation(
            pa_context_set_sink_volume_by_name(_context.get(), name.c_str(), &volume, nullptr, nullptr));
        if (unmute) {
            releasePulseOperation(
                pa_context_set_sink_mute_by_name(_context.get(), name.c_str(), 0, nullptr, nullptr));
        }
    }
    pa_threaded_mainloop_unlock(_mainloop.get());
}

void PulseSinkConnection::contextStateChanged(pa_context* context, void* connection) {
    auto* self = static_cast<PulseSinkConnection*>(connection);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        // Sink events carry volume and mute changes; server events a new default sink.
        releasePulseOperation(pa_context_subscribe(
            context,
            static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
            nullptr, nullptr));
        self->querySink();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->postEnded();
        break;
    default:
        break;
    }
}

void PulseSinkConnection::subscriptionEvent(pa_context*, pa_subscription_event_type_t type, uint32_t,
                                            void* connection) {
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    if (facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SERVER) {
        static_cast<PulseSinkConnection*>(connection)->querySink();
    }
}

void PulseSinkConnection::querySink() {
    releasePulseOperation(
        pa_context_get_server_info(_context.get(), &PulseSinkConnection::serverInfoArrived, this));
}

void PulseSinkConnection::serverInfoArrived(pa_context* context, const pa_server_info* info,
                                            void* connection) {
    auto* self = static_cast<PulseSinkConnection*>(connection);
    if (!info || !info->default_sink_name) {
        self->postSink(std::nullopt);
        return;
    }
    releasePulseOperation(pa_context_get_sink_info_by_name(context, info->default_sink_name,
                                                           &PulseSinkConnection::sinkInfoArrived, self));
}

void PulseSinkConnection::sinkInfoArrived(pa_context*, const pa_sink_info* info, int last, void* connection) {
    auto* self = static_cast<PulseSinkConnection*>(connection);
    if (last < 0) {
        // The default sink went between the two questions.
        self->postSink(std::nullopt);
    } else if (info && info->name) {
        self->postSink(PulseSink{info->name, info->volume, info->mute != 0});
    }
}

void PulseSinkConnection::postSink(std::optional<PulseSink> sink) {
    NSRunLoop::mainRunLoop()->postFromAnyThread([handlers = _postTo, sink = std::move(sink)] {
        if (const auto alive = handlers.lock(); alive && alive->sinkChanged) {
            // A copy: the handler may end the connection, and its handlers with it.
            const auto handler = alive->sinkChanged;
            handler(sink);
        }
    });
}

void PulseSinkConnection::postEnded() {
    if (_ended.exchange(true)) {
        return;
    }
    NSRunLoop::mainRunLoop()->postFromAnyThread([handlers = _postTo] {
        if (const auto alive = handlers.lock(); alive && alive->ended) {
            const auto handler = alive->ended;
            handler();
        }
    });
}
