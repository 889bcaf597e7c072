#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <SDL.h>

// The desktop's display as the window front end meets it: SDL's video, the scale the desktop
// asks for, and the room the screen has free.
namespace WindowDisplay {

// The smallest screen the layout is made for; a window is not dragged smaller.
inline constexpr CGSize minimumPoints{320, 568};

// SDL's video subsystem, opened when the front end is made: a display that cannot be
// reached is known before the application starts. Raises FrontEndUnavailable saying why.
class SdlVideo {
  public:
    SdlVideo();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;

    bool onWayland() const;
};

// The display's own pixels per point: GDK_SCALE where the desktop sets it, else Xft.dpi,
// in quarters from 1 to 4; 1 when nothing says.
double displayScale();

struct WindowShape {
    double scale;
    CGSize points;
};

// The largest scale, from the wanted one down in quarters, at which the window fits the
// usable part of the screen; at scale 1, a window no larger than that part. Says so when it
// steps down.
WindowShape fittingShape(CGSize points, double scale, const SDL_Rect& usable);

} // namespace WindowDisplay
