#pragma once

// Common root of the surface and the rendering objects: owners delete them
// through this base.
class GraphicalObject
{
public:
    GraphicalObject() = default;
    GraphicalObject(const GraphicalObject &) = default;
    GraphicalObject &operator=(const GraphicalObject &) = default;
    virtual ~GraphicalObject();
};
