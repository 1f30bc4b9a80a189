#pragma once

#include <QString>

class CSkimblerApp;

// For scripted end-to-end runs: when SKIMBLER_GEOMETRY_FILE names a file,
// the screen rectangles of the view, the fields and the panels' cells are
// written there once start-up is done, one "name x y width height" a line, so
// a driver outside the process can aim real mouse clicks.
class GeometryProbe
{
public:
    static void WriteIfRequested(const CSkimblerApp *app);
    static QString Describe(const CSkimblerApp *app);
};
