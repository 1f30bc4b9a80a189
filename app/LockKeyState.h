#pragma once

// Reads the Caps, Num and Scroll Lock states from the window system where it
// can (X11); elsewhere the states are unknown.
class LockKeyState
{
public:
    enum Key { CapsLock, NumLock, ScrollLock };

    // True when the state could be read; *on then holds it.
    static bool Query(Key key, bool *on);
};
