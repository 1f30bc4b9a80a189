#pragma once

// The few state switches an off-screen picture needs on top of the view's
// drawing: what Clear fills with, which channels drawing writes, blending.
namespace DrawLayers {

void SetClearColour(float r, float g, float b, float a);
void WriteChannels(bool colour, bool alpha);
void EnableBlending(bool enable);

} // namespace DrawLayers
