#pragma once

// The editor's picture of a runtime table row: the view's own drawing call
// in a fixed-function context of its own, with no display.

#include "RuntimeSurfaceCases.h"

#include "render/DrawLayers.h"
#include "render/GraphicalInterface.h"
#include "render/HeadlessContext.h"
#include "render/SurfaceDrawState.h"
#include "render/TextureReadback.h"
#include "surface/Surface.h"

#include <GL/gl.h>

#include <map>
#include <string>

namespace runtimecases {

// The destination every frame is drawn over, in the current context.
inline void ClearQuadrants()
{
    glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < 4; ++i) {
        const float *colour = kQuadrantColours[i];
        glScissor((i % 2) * kWidth / 2, (i / 2) * kHeight / 2, kWidth / 2, kHeight / 2);
        glClearColor(colour[0], colour[1], colour[2], colour[3]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
}

class EditorPicture
{
public:
    bool Create(std::string *error)
    {
        if (!m_context.Create(HeadlessContext::Api::Compatibility, kWidth, kHeight, error))
            return false;
        m_editor.Init(kWidth, kHeight);
        return true;
    }

    // RGBA8 rows from the bottom up. StraightPasses: drawn as the
    // transparent export draws, on transparent black, before StraightenAlpha.
    Pixels Frame(const Case &c, skimbler::AlphaOutput output = skimbler::AlphaOutput::Blended)
    {
        m_context.MakeCurrent();
        const Image &image = Images().at(c.image);
        GLuint &texture = m_textures[c.image];
        if (texture == 0) {
            // What TextureUpload::Create does on any context of OpenGL 3.0 or
            // later (it needs Qt's context to run itself): level 0 as given,
            // in the image's own format, the chain from glGenerateMipmap.
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, image.Components, image.Width, image.Height, 0,
                         image.Components == 3 ? GL_RGB : GL_RGBA, GL_UNSIGNED_BYTE, image.Bytes.data());
            using GenerateMipmapFunction = void (*)(GLenum);
            reinterpret_cast<GenerateMipmapFunction>(HeadlessContext::GetProcAddress("glGenerateMipmap"))(
                GL_TEXTURE_2D);
        }
        Surface surface;
        static_cast<skimbler::SurfaceSettings &>(surface) = SettingsOf(c);
        surface.Width = std::uint32_t(image.Width);
        surface.Height = std::uint32_t(image.Height);
        m_editor.ProjectiveTexture = c.projective;
        const skimbler::DrawState state = ResolveSurface(surface, m_editor.Width, m_editor.Height, c.projective);
        // The texture is kept for the next row: drawn by name.
        if (output == skimbler::AlphaOutput::Blended) {
            ClearQuadrants();
            m_editor.DrawSurface(state, texture, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
            return m_context.ReadPixels();
        }
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        DrawLayers::WriteChannels(true, false);
        m_editor.DrawSurface(state, texture, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        DrawLayers::WriteChannels(false, true);
        DrawLayers::EnableBlending(false);
        m_editor.DrawSurface(state, texture, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        // Back as the view keeps them: every channel, blending on.
        DrawLayers::WriteChannels(true, true);
        DrawLayers::EnableBlending(true);
        return m_context.ReadPixels();
    }

    // The state the editor draws a row with.
    static skimbler::DrawState State(const Case &c)
    {
        const Image &image = Images().at(c.image);
        Surface surface;
        static_cast<skimbler::SurfaceSettings &>(surface) = SettingsOf(c);
        surface.Width = std::uint32_t(image.Width);
        surface.Height = std::uint32_t(image.Height);
        return ResolveSurface(surface, kWidth, kHeight, c.projective);
    }

    // The levels of the texture the last Frame of this image drew with.
    skimbler::TexelPyramid Texels(const QString &image)
    {
        m_context.MakeCurrent();
        skimbler::TexelPyramid levels;
        ReadTextureLevels(m_textures[image], &levels);
        return levels;
    }

private:
    HeadlessContext m_context;
    GraphicalInterface m_editor;
    std::map<QString, GLuint> m_textures;
};

} // namespace runtimecases
