#include "skimbler/SurfaceRenderer.h"

#include <cstddef>
#include <vector>

#if defined(_WIN32) && !defined(_WIN64)
#define SKIMBLER_APIENTRY __stdcall
#else
#define SKIMBLER_APIENTRY
#endif

namespace skimbler {

namespace {

// The enumerants used below, by value: no OpenGL header is needed to build
// this, whichever API the caller renders with.
enum : std::uint32_t {
    GL_NO_ERROR_ = 0,
    GL_TEXTURE_2D_ = 0x0DE1,
    GL_TEXTURE0_ = 0x84C0,
    GL_ACTIVE_TEXTURE_ = 0x84E0,
    GL_TEXTURE_BINDING_2D_ = 0x8069,
    GL_SAMPLER_BINDING_ = 0x8919,
    GL_CURRENT_PROGRAM_ = 0x8B8D,
    GL_VERTEX_ARRAY_BINDING_ = 0x85B5,
    GL_ARRAY_BUFFER_ = 0x8892,
    GL_ARRAY_BUFFER_BINDING_ = 0x8894,
    GL_PIXEL_UNPACK_BUFFER_ = 0x88EC,
    GL_PIXEL_UNPACK_BUFFER_BINDING_ = 0x88EF,
    GL_BLEND_ = 0x0BE2,
    GL_COLOR_WRITEMASK_ = 0x0C23,
    GL_BLEND_DST_RGB_ = 0x80C8,
    GL_BLEND_SRC_RGB_ = 0x80C9,
    GL_BLEND_DST_ALPHA_ = 0x80CA,
    GL_BLEND_SRC_ALPHA_ = 0x80CB,
    GL_DYNAMIC_DRAW_ = 0x88E8,
    GL_FLOAT_ = 0x1406,
    GL_FALSE_ = 0,
    GL_VERTEX_SHADER_ = 0x8B31,
    GL_FRAGMENT_SHADER_ = 0x8B30,
    GL_COMPILE_STATUS_ = 0x8B81,
    GL_LINK_STATUS_ = 0x8B82,
    GL_INFO_LOG_LENGTH_ = 0x8B84,
    GL_TEXTURE_MAG_FILTER_ = 0x2800,
    GL_TEXTURE_MIN_FILTER_ = 0x2801,
    GL_TEXTURE_WRAP_S_ = 0x2802,
    GL_TEXTURE_WRAP_T_ = 0x2803,
    GL_TEXTURE_BORDER_COLOR_ = 0x1004,
    GL_CLAMP_TO_BORDER_ = 0x812D,
    GL_CLAMP_TO_EDGE_ = 0x812F,
    GL_RGB_ = 0x1907,
    GL_RGBA_ = 0x1908,
    GL_RGB8_ = 0x8051,
    GL_RGBA8_ = 0x8058,
    GL_VIEWPORT_ = 0x0BA2,
    GL_UNSIGNED_BYTE_ = 0x1401,
    GL_UNPACK_ALIGNMENT_ = 0x0CF5,
    GL_UNPACK_ROW_LENGTH_ = 0x0CF2,
    GL_UNPACK_SKIP_ROWS_ = 0x0CF3,
    GL_UNPACK_SKIP_PIXELS_ = 0x0CF4,
    GL_MAX_TEXTURE_SIZE_ = 0x0D33,
};

struct Functions
{
#define SKIMBLER_GL_FUNCTIONS(X)                                                                               \
    X(void, ActiveTexture, (std::uint32_t))                                                                    \
    X(void, AttachShader, (std::uint32_t, std::uint32_t))                                                      \
    X(void, BindBuffer, (std::uint32_t, std::uint32_t))                                                        \
    X(void, BindSampler, (std::uint32_t, std::uint32_t))                                                       \
    X(void, BindTexture, (std::uint32_t, std::uint32_t))                                                       \
    X(void, BindVertexArray, (std::uint32_t))                                                                  \
    X(void, BlendFuncSeparate, (std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t))                   \
    X(void, BufferData, (std::uint32_t, std::ptrdiff_t, const void *, std::uint32_t))                          \
    X(void, BufferSubData, (std::uint32_t, std::ptrdiff_t, std::ptrdiff_t, const void *))                      \
    X(void, ColorMask, (unsigned char, unsigned char, unsigned char, unsigned char))                           \
    X(void, CompileShader, (std::uint32_t))                                                                    \
    X(std::uint32_t, CreateProgram, ())                                                                        \
    X(std::uint32_t, CreateShader, (std::uint32_t))                                                            \
    X(void, DeleteBuffers, (int, const std::uint32_t *))                                                       \
    X(void, DeleteProgram, (std::uint32_t))                                                                    \
    X(void, DeleteSamplers, (int, const std::uint32_t *))                                                      \
    X(void, DeleteShader, (std::uint32_t))                                                                     \
    X(void, DeleteTextures, (int, const std::uint32_t *))                                                      \
    X(void, DeleteVertexArrays, (int, const std::uint32_t *))                                                  \
    X(void, Disable, (std::uint32_t))                                                                          \
    X(void, DrawArrays, (std::uint32_t, int, int))                                                             \
    X(void, Enable, (std::uint32_t))                                                                           \
    X(void, EnableVertexAttribArray, (std::uint32_t))                                                          \
    X(void, GenBuffers, (int, std::uint32_t *))                                                                \
    X(void, GenSamplers, (int, std::uint32_t *))                                                               \
    X(void, GenTextures, (int, std::uint32_t *))                                                               \
    X(void, GenVertexArrays, (int, std::uint32_t *))                                                           \
    X(void, GenerateMipmap, (std::uint32_t))                                                                   \
    X(std::uint32_t, GetError, ())                                                                             \
    X(void, GetBooleanv, (std::uint32_t, unsigned char *))                                                     \
    X(void, GetIntegerv, (std::uint32_t, int *))                                                               \
    X(void, GetProgramInfoLog, (std::uint32_t, int, int *, char *))                                            \
    X(void, GetProgramiv, (std::uint32_t, std::uint32_t, int *))                                               \
    X(void, GetShaderInfoLog, (std::uint32_t, int, int *, char *))                                             \
    X(void, GetShaderiv, (std::uint32_t, std::uint32_t, int *))                                                \
    X(int, GetUniformLocation, (std::uint32_t, const char *))                                                  \
    X(unsigned char, IsEnabled, (std::uint32_t))                                                               \
    X(void, LinkProgram, (std::uint32_t))                                                                      \
    X(void, PixelStorei, (std::uint32_t, int))                                                                 \
    X(void, SamplerParameterfv, (std::uint32_t, std::uint32_t, const float *))                                 \
    X(void, SamplerParameteri, (std::uint32_t, std::uint32_t, int))                                            \
    X(void, ShaderSource, (std::uint32_t, int, const char *const *, const int *))                              \
    X(void, TexImage2D,                                                                                        \
      (std::uint32_t, int, int, int, int, int, std::uint32_t, std::uint32_t, const void *))                    \
    X(void, Uniform1f, (int, float))                                                                           \
    X(void, Uniform1i, (int, int))                                                                             \
    X(void, Uniform2i, (int, int, int))                                                                        \
    X(void, UniformMatrix4fv, (int, int, unsigned char, const float *))                                        \
    X(void, UseProgram, (std::uint32_t))                                                                       \
    X(void, VertexAttribPointer, (std::uint32_t, int, std::uint32_t, unsigned char, int, const void *))

#define SKIMBLER_DECLARE(result, name, parameters) result(SKIMBLER_APIENTRY *name) parameters = nullptr;
    SKIMBLER_GL_FUNCTIONS(SKIMBLER_DECLARE)
#undef SKIMBLER_DECLARE

    // The name of the first function the loader did not know, or null.
    template <typename Loader>
    const char *Load(Loader load)
    {
#define SKIMBLER_LOAD(result, name, parameters)                                                                \
    name = reinterpret_cast<result(SKIMBLER_APIENTRY *) parameters>(load("gl" #name));                         \
    if (!name)                                                                                                 \
        return "gl" #name;
        SKIMBLER_GL_FUNCTIONS(SKIMBLER_LOAD)
#undef SKIMBLER_LOAD
        return nullptr;
    }
};

void ToFloat(const double in[16], float out[16])
{
    for (int i = 0; i < 16; ++i)
        out[i] = static_cast<float>(in[i]);
}

// a * b, column-major.
void Multiply(const float a[16], const float b[16], float out[16])
{
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[column * 4 + k];
            out[column * 4 + row] = sum;
        }
    }
}

} // namespace

struct SurfaceRenderer::Impl
{
    Functions gl;
    ShaderApi api = ShaderApi::OpenGL33;
    bool ready = false;
    std::uint32_t program = 0;
    std::uint32_t vertexArray = 0;
    std::uint32_t buffer = 0;
    std::uint32_t sampler = 0;
    std::uint32_t ownTexture = 0;
    int projectionLocation = -1;
    int modelViewLocation = -1;
    int textureLocation = -1;
    int filtersLocation = -1;
    int borderAlphaLocation = -1;

    SurfaceSettings settings = DefaultSettings();
    std::string imagePath;
    std::uint32_t texture = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The texture has alpha: its border is transparent black, else opaque
    // black (OpenGL reads an RGB texture's border alpha as 1).
    bool hasAlpha = true;
    AlphaOutput output = AlphaOutput::Blended;

    std::uint32_t Compile(std::uint32_t type, const std::string &source, std::string *error)
    {
        const std::uint32_t shader = gl.CreateShader(type);
        const char *text = source.c_str();
        gl.ShaderSource(shader, 1, &text, nullptr);
        gl.CompileShader(shader);
        int ok = 0;
        gl.GetShaderiv(shader, GL_COMPILE_STATUS_, &ok);
        if (!ok) {
            int length = 0;
            gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH_, &length);
            std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
            gl.GetShaderInfoLog(shader, static_cast<int>(log.size()), nullptr, log.data());
            *error = std::string(type == GL_VERTEX_SHADER_ ? "vertex" : "fragment") + " shader: " + log.data();
            gl.DeleteShader(shader);
            return 0;
        }
        return shader;
    }

    bool Link(std::string *error)
    {
        const ShaderSources sources = RuntimeShaderSources(api);
        const std::uint32_t vertex = Compile(GL_VERTEX_SHADER_, sources.Vertex, error);
        if (!vertex)
            return false;
        const std::uint32_t fragment = Compile(GL_FRAGMENT_SHADER_, sources.Fragment, error);
        if (!fragment) {
            gl.DeleteShader(vertex);
            return false;
        }
        program = gl.CreateProgram();
        gl.AttachShader(program, vertex);
        gl.AttachShader(program, fragment);
        gl.LinkProgram(program);
        gl.DeleteShader(vertex);
        gl.DeleteShader(fragment);
        int ok = 0;
        gl.GetProgramiv(program, GL_LINK_STATUS_, &ok);
        if (!ok) {
            int length = 0;
            gl.GetProgramiv(program, GL_INFO_LOG_LENGTH_, &length);
            std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
            gl.GetProgramInfoLog(program, static_cast<int>(log.size()), nullptr, log.data());
            *error = std::string("shader program: ") + log.data();
            gl.DeleteProgram(program);
            program = 0;
            return false;
        }
        projectionLocation = gl.GetUniformLocation(program, uniform::Projection);
        modelViewLocation = gl.GetUniformLocation(program, uniform::ModelView);
        textureLocation = gl.GetUniformLocation(program, uniform::Texture);
        filtersLocation = gl.GetUniformLocation(program, uniform::Filters);
        borderAlphaLocation = gl.GetUniformLocation(program, uniform::BorderAlpha);
        return true;
    }

    void MakeBuffers()
    {
        int oldVertexArray = 0, oldBuffer = 0;
        gl.GetIntegerv(GL_VERTEX_ARRAY_BINDING_, &oldVertexArray);
        gl.GetIntegerv(GL_ARRAY_BUFFER_BINDING_, &oldBuffer);
        gl.GenVertexArrays(1, &vertexArray);
        gl.GenBuffers(1, &buffer);
        gl.BindVertexArray(vertexArray);
        gl.BindBuffer(GL_ARRAY_BUFFER_, buffer);
        gl.BufferData(GL_ARRAY_BUFFER_, sizeof(DrawVertex) * 4, nullptr, GL_DYNAMIC_DRAW_);
        for (const VertexAttribute &attribute : RuntimeVertexAttributes) {
            gl.EnableVertexAttribArray(attribute.Location);
            gl.VertexAttribPointer(attribute.Location, attribute.Components, GL_FLOAT_, GL_FALSE_,
                                   static_cast<int>(sizeof(DrawVertex)),
                                   reinterpret_cast<const void *>(attribute.Offset));
        }
        gl.BindVertexArray(static_cast<std::uint32_t>(oldVertexArray));
        gl.BindBuffer(GL_ARRAY_BUFFER_, static_cast<std::uint32_t>(oldBuffer));
        gl.GenSamplers(1, &sampler);
    }

    std::uint32_t Wrap(std::uint32_t wrap) const
    {
        if (wrap == gl::REPEAT)
            return gl::REPEAT;
        return api == ShaderApi::OpenGL33 ? GL_CLAMP_TO_BORDER_ : GL_CLAMP_TO_EDGE_;
    }
};

SurfaceRenderer::SurfaceRenderer() : m(std::make_unique<Impl>())
{
}

SurfaceRenderer::~SurfaceRenderer() = default;

template <typename Loader>
bool SurfaceRenderer::InitWith(Loader load, ShaderApi api, std::string *error)
{
    std::string ignored;
    if (!error)
        error = &ignored;
    if (m->ready)
        Release();
    if (!load) {
        *error = "no function loader";
        return false;
    }
    if (const char *missing = m->gl.Load(load)) {
        *error = std::string("the OpenGL context lacks ") + missing;
        return false;
    }
    m->api = api;
    if (!m->Link(error))
        return false;
    m->MakeBuffers();
    m->ready = true;
    return true;
}

bool SurfaceRenderer::Init(ProcAddressLoader load, ShaderApi api, std::string *error)
{
    return InitWith(load, api, error);
}

bool SurfaceRenderer::Init(FunctionLoader load, ShaderApi api, std::string *error)
{
    return InitWith(load, api, error);
}

void SurfaceRenderer::Release()
{
    if (!m->ready)
        return;
    Functions &gl = m->gl;
    gl.DeleteProgram(m->program);
    gl.DeleteVertexArrays(1, &m->vertexArray);
    gl.DeleteBuffers(1, &m->buffer);
    gl.DeleteSamplers(1, &m->sampler);
    if (m->ownTexture) {
        if (m->texture == m->ownTexture)
            m->texture = 0;
        gl.DeleteTextures(1, &m->ownTexture);
    }
    m->program = m->vertexArray = m->buffer = m->sampler = m->ownTexture = 0;
    m->ready = false;
}

void SurfaceRenderer::SetSettings(const SurfaceSettings &settings)
{
    m->settings = settings;
}

const SurfaceSettings &SurfaceRenderer::Settings() const
{
    return m->settings;
}

const std::string &SurfaceRenderer::ImagePath() const
{
    return m->imagePath;
}

void SurfaceRenderer::Adopt(const std::string &imagePath, std::uint32_t width, std::uint32_t height)
{
    m->imagePath = imagePath;
    // The size the file was saved with stands until pixels arrive.
    if (m->texture == 0) {
        m->width = width;
        m->height = height;
    }
}

void SurfaceRenderer::SetTexture(std::uint32_t texture, std::uint32_t width, std::uint32_t height, bool hasAlpha)
{
    m->texture = texture;
    m->width = width;
    m->height = height;
    m->hasAlpha = hasAlpha;
}

bool SurfaceRenderer::UploadRgba(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                 std::string *error)
{
    return Upload(pixels, width, height, 4, error);
}

bool SurfaceRenderer::UploadRgb(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                std::string *error)
{
    return Upload(pixels, width, height, 3, error);
}

bool SurfaceRenderer::Upload(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, int components,
                             std::string *error)
{
    std::string ignored;
    if (!error)
        error = &ignored;
    if (!m->ready) {
        *error = "the renderer is not initialised";
        return false;
    }
    Functions &gl = m->gl;
    int maxSide = 0;
    gl.GetIntegerv(GL_MAX_TEXTURE_SIZE_, &maxSide);
    if (!pixels || width == 0 || height == 0 || width > std::uint32_t(maxSide) || height > std::uint32_t(maxSide)) {
        *error = "the image must be between 1 x 1 and " + std::to_string(maxSide) + " x "
            + std::to_string(maxSide) + " pixels";
        return false;
    }
    while (gl.GetError() != GL_NO_ERROR_) {
    }

    int oldActive = 0, oldTexture = 0, oldUnpackBuffer = 0;
    int oldStore[4] = {4, 0, 0, 0};
    const std::uint32_t stores[4] = {GL_UNPACK_ALIGNMENT_, GL_UNPACK_ROW_LENGTH_, GL_UNPACK_SKIP_ROWS_,
                                     GL_UNPACK_SKIP_PIXELS_};
    gl.GetIntegerv(GL_ACTIVE_TEXTURE_, &oldActive);
    gl.ActiveTexture(GL_TEXTURE0_);
    gl.GetIntegerv(GL_TEXTURE_BINDING_2D_, &oldTexture);
    gl.GetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING_, &oldUnpackBuffer);
    for (int i = 0; i < 4; ++i)
        gl.GetIntegerv(stores[i], &oldStore[i]);

    std::uint32_t name = 0;
    gl.GenTextures(1, &name);
    gl.BindTexture(GL_TEXTURE_2D_, name);
    gl.BindBuffer(GL_PIXEL_UNPACK_BUFFER_, 0);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT_, 1);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH_, 0);
    gl.PixelStorei(GL_UNPACK_SKIP_ROWS_, 0);
    gl.PixelStorei(GL_UNPACK_SKIP_PIXELS_, 0);
    // In the image's own format, as the editor's texture is: a 24-bit
    // image's border stays opaque.
    const bool rgb = components == 3;
    gl.TexImage2D(GL_TEXTURE_2D_, 0, static_cast<int>(rgb ? GL_RGB8_ : GL_RGBA8_), static_cast<int>(width),
                  static_cast<int>(height), 0, rgb ? GL_RGB_ : GL_RGBA_, GL_UNSIGNED_BYTE_, pixels);
    // The whole chain every time, as the editor's upload makes it: the
    // settings may turn a mipmap filter on later.
    gl.GenerateMipmap(GL_TEXTURE_2D_);
    const std::uint32_t failure = gl.GetError();

    for (int i = 0; i < 4; ++i)
        gl.PixelStorei(stores[i], oldStore[i]);
    gl.BindBuffer(GL_PIXEL_UNPACK_BUFFER_, static_cast<std::uint32_t>(oldUnpackBuffer));
    gl.BindTexture(GL_TEXTURE_2D_, static_cast<std::uint32_t>(oldTexture));
    gl.ActiveTexture(static_cast<std::uint32_t>(oldActive));

    if (failure != GL_NO_ERROR_) {
        gl.DeleteTextures(1, &name);
        *error = "OpenGL could not make a " + std::to_string(width) + " x " + std::to_string(height)
            + " texture (error " + std::to_string(failure) + ")";
        return false;
    }
    if (m->ownTexture)
        gl.DeleteTextures(1, &m->ownTexture);
    m->ownTexture = name;
    SetTexture(name, width, height, !rgb);
    return true;
}

void SurfaceRenderer::SetAlphaOutput(AlphaOutput output)
{
    m->output = output;
}

SurfaceRenderer::AlphaOutput SurfaceRenderer::Output() const
{
    return m->output;
}

DrawState SurfaceRenderer::Resolved(const View &view, bool projective) const
{
    DrawOptions options;
    options.ViewWidth = view.Width;
    options.ViewHeight = view.Height;
    options.Aspect = view.Aspect;
    options.Projective = projective;
    return Resolve(m->settings, m->width, m->height, options);
}

void SurfaceRenderer::Draw(const View &view, bool projective)
{
    if (!m->ready || m->texture == 0)
        return;
    double matrix[16];
    float projection[16], modelView[16];
    ProjectionMatrix(view, matrix);
    ToFloat(matrix, projection);
    SurfaceModelView(view, matrix);
    ToFloat(matrix, modelView);
    DrawWith(Resolved(view, projective), projection, modelView);
}

void SurfaceRenderer::Draw(const float model[16], const float view[16], const float projection[16], bool projective)
{
    if (!m->ready || m->texture == 0)
        return;
    // Only the image-sized quad of a surface without corner points depends
    // on a window: the current viewport's.
    int viewport[4] = {0, 0, 0, 0};
    m->gl.GetIntegerv(GL_VIEWPORT_, viewport);
    View window;
    window.Width = viewport[2];
    window.Height = viewport[3];
    float modelView[16];
    Multiply(view, model, modelView);
    DrawWith(Resolved(window, projective), projection, modelView);
}

void SurfaceRenderer::DrawWith(const DrawState &state, const float projection[16], const float modelView[16])
{
    Functions &gl = m->gl;
    // What the caller had bound and set, to put back afterwards.
    int oldProgram = 0, oldVertexArray = 0, oldBuffer = 0, oldActive = 0, oldTexture = 0, oldSampler = 0;
    int oldBlend[4] = {0, 0, 0, 0};
    gl.GetIntegerv(GL_CURRENT_PROGRAM_, &oldProgram);
    gl.GetIntegerv(GL_VERTEX_ARRAY_BINDING_, &oldVertexArray);
    gl.GetIntegerv(GL_ARRAY_BUFFER_BINDING_, &oldBuffer);
    gl.GetIntegerv(GL_ACTIVE_TEXTURE_, &oldActive);
    gl.ActiveTexture(GL_TEXTURE0_);
    gl.GetIntegerv(GL_TEXTURE_BINDING_2D_, &oldTexture);
    gl.GetIntegerv(GL_SAMPLER_BINDING_, &oldSampler);
    gl.GetIntegerv(GL_BLEND_SRC_RGB_, &oldBlend[0]);
    gl.GetIntegerv(GL_BLEND_DST_RGB_, &oldBlend[1]);
    gl.GetIntegerv(GL_BLEND_SRC_ALPHA_, &oldBlend[2]);
    gl.GetIntegerv(GL_BLEND_DST_ALPHA_, &oldBlend[3]);
    const bool oldBlendOn = gl.IsEnabled(GL_BLEND_) != 0;

    gl.UseProgram(m->program);
    gl.BindVertexArray(m->vertexArray);
    gl.BindBuffer(GL_ARRAY_BUFFER_, m->buffer);
    gl.BufferSubData(GL_ARRAY_BUFFER_, 0, sizeof state.Vertices, state.Vertices);
    gl.BindTexture(GL_TEXTURE_2D_, m->texture);
    gl.BindSampler(0, m->sampler);
    gl.SamplerParameteri(m->sampler, GL_TEXTURE_MAG_FILTER_, static_cast<int>(state.MagFilter));
    gl.SamplerParameteri(m->sampler, GL_TEXTURE_MIN_FILTER_, static_cast<int>(state.MinFilter));
    gl.SamplerParameteri(m->sampler, GL_TEXTURE_WRAP_S_, static_cast<int>(m->Wrap(state.WrapS)));
    gl.SamplerParameteri(m->sampler, GL_TEXTURE_WRAP_T_, static_cast<int>(m->Wrap(state.WrapT)));
    const float border[4] = {0.0f, 0.0f, 0.0f, m->hasAlpha ? 0.0f : 1.0f};
    if (m->api == ShaderApi::OpenGL33)
        gl.SamplerParameterfv(m->sampler, GL_TEXTURE_BORDER_COLOR_, border);

    gl.UniformMatrix4fv(m->projectionLocation, 1, GL_FALSE_, projection);
    gl.UniformMatrix4fv(m->modelViewLocation, 1, GL_FALSE_, modelView);
    gl.Uniform1i(m->textureLocation, 0);
    if (m->filtersLocation >= 0)
        gl.Uniform2i(m->filtersLocation, static_cast<int>(state.MagFilter), static_cast<int>(state.MinFilter));
    if (m->borderAlphaLocation >= 0)
        gl.Uniform1f(m->borderAlphaLocation, border[3]);

    if (state.Blend) {
        gl.Enable(GL_BLEND_);
        gl.BlendFuncSeparate(state.SrcFactor, state.DestFactor, state.SrcFactor, state.DestFactor);
    } else {
        gl.Disable(GL_BLEND_);
    }
    if (m->output == AlphaOutput::StraightPasses) {
        // As the transparent export draws: the blended colour over the
        // cleared alpha, then the surface's own alpha as its coverage.
        unsigned char oldMask[4] = {1, 1, 1, 1};
        gl.GetBooleanv(GL_COLOR_WRITEMASK_, oldMask);
        gl.ColorMask(1, 1, 1, 0);
        gl.DrawArrays(state.Primitive, 0, 4);
        gl.ColorMask(0, 0, 0, 1);
        gl.Disable(GL_BLEND_);
        gl.DrawArrays(state.Primitive, 0, 4);
        gl.ColorMask(oldMask[0], oldMask[1], oldMask[2], oldMask[3]);
    } else {
        gl.DrawArrays(state.Primitive, 0, 4);
    }

    if (oldBlendOn)
        gl.Enable(GL_BLEND_);
    else
        gl.Disable(GL_BLEND_);
    gl.BlendFuncSeparate(static_cast<std::uint32_t>(oldBlend[0]), static_cast<std::uint32_t>(oldBlend[1]),
                         static_cast<std::uint32_t>(oldBlend[2]), static_cast<std::uint32_t>(oldBlend[3]));
    gl.BindSampler(0, static_cast<std::uint32_t>(oldSampler));
    gl.BindTexture(GL_TEXTURE_2D_, static_cast<std::uint32_t>(oldTexture));
    gl.ActiveTexture(static_cast<std::uint32_t>(oldActive));
    gl.BindBuffer(GL_ARRAY_BUFFER_, static_cast<std::uint32_t>(oldBuffer));
    gl.BindVertexArray(static_cast<std::uint32_t>(oldVertexArray));
    gl.UseProgram(static_cast<std::uint32_t>(oldProgram));
}

} // namespace skimbler
