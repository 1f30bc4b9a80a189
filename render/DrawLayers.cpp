#include "render/DrawLayers.h"

#include <GL/gl.h>

namespace DrawLayers {

void SetClearColour(float r, float g, float b, float a)
{
    glClearColor(r, g, b, a);
}

void WriteChannels(bool colour, bool alpha)
{
    const GLboolean c = colour ? GL_TRUE : GL_FALSE;
    glColorMask(c, c, c, alpha ? GL_TRUE : GL_FALSE);
}

void EnableBlending(bool enable)
{
    if (enable)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
}

} // namespace DrawLayers
