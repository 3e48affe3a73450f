// The least a window that scrolls a title can do: a window of trillbox's size at
// scale 2 (704x280 pixels) that repaints and presents a rectangle of the title
// line's size (440x40) 60 times a second, through the window surface as
// trillbox does, and nothing else. SIGUSR1 prints the frames since the last
// report as trillbox's --frame-stats does; SIGTERM or SIGINT end it.
#define _POSIX_C_SOURCE 200809L

#include <SDL.h>
#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <time.h>

enum {
    kWindowWidth = 704,
    kWindowHeight = 280,
    kTitleX = 252,
    kTitleY = 52,
    kTitleWidth = 440,
    kTitleHeight = 40,
    kFramesPerSecond = 60,
    kStripeWidth = 24,
};
static const int64_t kNanosecondsPerSecond = 1000000000;

static volatile sig_atomic_t floorQuitRequested = 0;
static volatile sig_atomic_t floorReportRequested = 0;

static void floorOnSignal(int signalNumber) {
    if (signalNumber == SIGUSR1) {
        floorReportRequested = 1;
    } else {
        floorQuitRequested = 1;
    }
}

static int64_t floorNow(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * kNanosecondsPerSecond + now.tv_nsec;
}

// Sleeps until `deadline` or a signal, whichever comes first.
static void floorSleepUntil(int64_t deadline) {
    const struct timespec until = {.tv_sec = deadline / kNanosecondsPerSecond,
                                   .tv_nsec = deadline % kNanosecondsPerSecond};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL) == EINTR) {
        if (floorQuitRequested || floorReportRequested) {
            return;
        }
    }
}

static void floorReport(int64_t* since, uint64_t* framesSince, uint64_t frames) {
    const int64_t now = floorNow();
    const double seconds = (double)(now - *since) / (double)kNanosecondsPerSecond;
    const uint64_t count = frames - *framesSince;
    printf("frames: %llu in %g s, %g a second\n", (unsigned long long)count, seconds,
           seconds > 0 ? (double)count / seconds : 0.0);
    fflush(stdout);
    *since = now;
    *framesSince = frames;
}

// A stripe that moves across the title's rectangle, so that every frame differs.
static void floorDraw(SDL_Surface* surface, uint64_t frame) {
    const SDL_Rect title = {kTitleX, kTitleY, kTitleWidth, kTitleHeight};
    const SDL_Rect stripe = {kTitleX + (int)(frame % (kTitleWidth - kStripeWidth)), kTitleY, kStripeWidth,
                             kTitleHeight};
    SDL_FillRect(surface, &title, SDL_MapRGB(surface->format, 0x1C, 0x1C, 0x21));
    SDL_FillRect(surface, &stripe, SDL_MapRGB(surface->format, 0xF0, 0xF0, 0xF0));
}

int main(void) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "scroll_floor: SDL cannot open the display: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("Scroll floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          kWindowWidth, kWindowHeight, 0);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : NULL;
    if (!surface) {
        fprintf(stderr, "scroll_floor: no window to draw into: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    struct sigaction action = {.sa_handler = floorOnSignal};
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, NULL);
    sigaction(SIGTERM, &action, NULL);
    sigaction(SIGINT, &action, NULL);

    SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 0x1C, 0x1C, 0x21));
    SDL_UpdateWindowSurface(window);
    const int64_t period = kNanosecondsPerSecond / kFramesPerSecond;
    const int64_t start = floorNow();
    int64_t reportedAt = start;
    uint64_t frames = 0;
    uint64_t reportedFrames = 0;
    int64_t nextFrame = start;
    while (!floorQuitRequested) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                floorQuitRequested = 1;
            } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                surface = SDL_GetWindowSurface(window);
            }
        }
        if (floorReportRequested) {
            floorReportRequested = 0;
            floorReport(&reportedAt, &reportedFrames, frames);
        }
        const int64_t now = floorNow();
        if (now >= nextFrame && surface) {
            floorDraw(surface, frames);
            const SDL_Rect title = {kTitleX, kTitleY, kTitleWidth, kTitleHeight};
            SDL_UpdateWindowSurfaceRects(window, &title, 1);
            ++frames;
            // Keep to the 60 Hz grid; after a stall, start again from now rather than catch up.
            nextFrame = now - nextFrame > period ? now + period : nextFrame + period;
        }
        floorSleepUntil(nextFrame);
    }
    reportedAt = start;
    reportedFrames = 0;
    floorReport(&reportedAt, &reportedFrames, frames);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
