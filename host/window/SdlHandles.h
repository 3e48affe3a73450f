#pragma once

#include <memory>

#include <SDL.h>

namespace host {

struct SdlWindowDestroy {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct SdlSurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

// An owned SDL window or surface.
using SdlWindow = std::unique_ptr<SDL_Window, SdlWindowDestroy>;
using SdlSurface = std::unique_ptr<SDL_Surface, SdlSurfaceFree>;

} // namespace host
