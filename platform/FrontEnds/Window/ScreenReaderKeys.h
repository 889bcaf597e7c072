#pragma once

#include "Window/Accessibility/AtSpiBridge.h"

#include <SDL.h>

// SDL's key events in the terms a desktop screen reader matches its commands by: X's key
// symbols, the hardware's key codes where the display tells them, and X's modifier bits.
AtSpiKey screenReaderKey(const SDL_KeyboardEvent& event, SDL_Window* window);
