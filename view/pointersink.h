#pragma once

// Where pointer events on the map go (the main window implements it).
// Button: 1 left, 2 right, 4 middle (for a move, the held set as a sum); Shift: 1 shift, 2 ctrl, 4 alt.
// X, Y are single-precision twips relative to the control. Moves and the release of a drag begun on Image1
// reach Image1 (pointer capture), also outside it.
class PointerSink
{
public:
    virtual ~PointerSink() = default;
    virtual void Image1_MouseDown(int Button, int Shift, float X, float Y) = 0;
    virtual void Image1_MouseMove(int Button, int Shift, float X, float Y) = 0;
    virtual void Image1_MouseUp(int Button, int Shift, float X, float Y) = 0;
    virtual void Frame1_MouseUp(int Button, int Shift, float X, float Y) = 0;
    virtual void Frame1_MouseMove(int Button, int Shift, float X, float Y) = 0;
};
