#include "render/CodeListing.h"

#include "render/OutputText.h"
#include "render/SurfaceDrawState.h"
#include "surface/Surface.h"

#include "skimbler/RuntimeShaders.h"
#include "skimbler/ValueTable.h"
#include "skimbler/Scene.h"

#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <cstring>

namespace ValueTable = skimbler::ValueTable;

namespace CodeListing {

namespace {

using OutputText::DoubleLiteral;
using OutputText::FloatLiteral;

// Names of the state's fixed-function settings that no value table lists.
QString StateName(std::uint32_t value)
{
    const QString name = OutputText::GlName(ValueTable::DrawStateNames(), value);
    return name.isEmpty() ? OutputText::Hex(value) : name;
}

QString EnumName(const std::vector<ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = OutputText::GlName(table, value);
    return name.isEmpty() ? OutputText::Hex(value) + QStringLiteral(" /* not an OpenGL name */") : name;
}

// The value in force; beside it, when the surface holds one OpenGL refuses,
// that stored value, so the listing shows both.
QString InForce(const std::vector<ValueTable::Entry> &table, std::uint32_t inForce, std::uint32_t requested)
{
    const QString name = EnumName(table, inForce);
    if (requested == inForce)
        return name;
    QString stored = OutputText::GlName(ValueTable::MinFilter(), requested);
    if (stored.isEmpty())
        stored = OutputText::GlName(ValueTable::BlendFactor(), requested);
    if (stored.isEmpty())
        stored = OutputText::Hex(requested);
    return name + QStringLiteral(" /* the surface holds %1, which OpenGL refuses here */").arg(stored);
}

QString Call(const char *function, const QStringList &arguments)
{
    return QString::fromLatin1(function) + QLatin1Char('(') + arguments.join(QStringLiteral(", "))
        + QStringLiteral(");");
}


} // namespace

QString OpenGl11Calls(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight, bool projective,
                      double aspect)
{
    namespace scene = skimbler::scene;
    const skimbler::DrawState state = ResolveSurface(surface, viewWidth, viewHeight, projective, aspect);
    const QString tex2d = QStringLiteral("GL_TEXTURE_2D");

    QStringList lines;
    const QString imageName = imagePath.isEmpty() ? QStringLiteral("no image") : QFileInfo(imagePath).fileName();
    lines << QStringLiteral("/* Skimbler surface: %1, %2 x %3 */")
                 .arg(imageName)
                 .arg(state.ImageWidth)
                 .arg(state.ImageHeight);
    lines << QStringLiteral("/* Projection and plane of the Skimbler view (zoom 100%). */");
    lines << Call("glMatrixMode", {QStringLiteral("GL_PROJECTION")});
    lines << Call("glLoadIdentity", {});
    lines << Call("gluPerspective", {DoubleLiteral(scene::FieldOfViewY), DoubleLiteral(aspect),
                                     DoubleLiteral(scene::NearPlane), DoubleLiteral(scene::FarPlane)});
    lines << Call("glMatrixMode", {QStringLiteral("GL_MODELVIEW")});
    lines << Call("glLoadIdentity", {});
    lines << Call("glTranslatef", {FloatLiteral(0.0f), FloatLiteral(0.0f), FloatLiteral(scene::PlaneZ)});
    lines << QString();
    lines << Call("glEnable", {tex2d});
    lines << Call("glBindTexture", {tex2d, QStringLiteral("texture /* %1 */").arg(imageName)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_MAG_FILTER"),
                                      InForce(ValueTable::MagFilter(), state.MagFilter, state.RequestedMagFilter)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_MIN_FILTER"),
                                      InForce(ValueTable::MinFilter(), state.MinFilter, state.RequestedMinFilter)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_WRAP_S"), StateName(state.WrapS)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_WRAP_T"), StateName(state.WrapT)});
    lines << Call("glTexEnvi", {QStringLiteral("GL_TEXTURE_ENV"), QStringLiteral("GL_TEXTURE_ENV_MODE"),
                                StateName(state.TextureEnvMode)});
    lines << Call("glShadeModel", {QStringLiteral("GL_SMOOTH")});
    if (state.Blend)
        lines << Call("glEnable", {QStringLiteral("GL_BLEND")});
    lines << Call("glBlendFunc", {InForce(ValueTable::BlendFactor(), state.SrcFactor, state.RequestedSrcFactor),
                                  InForce(ValueTable::BlendFactor(), state.DestFactor, state.RequestedDestFactor)});
    lines << QString();

    const char *const cornerNames[4] = {"top left", "bottom left", "top right", "bottom right"};
    lines << Call("glBegin", {StateName(state.Primitive)});
    if (!state.VertexColours)
        lines << QStringLiteral("    ")
                + Call("glColor4f", {FloatLiteral(1), FloatLiteral(1), FloatLiteral(1), FloatLiteral(1)});
    for (int i = 0; i < 4; ++i) {
        const skimbler::DrawVertex &v = state.Vertices[i];
        lines << QStringLiteral("    /* %1 */").arg(QString::fromLatin1(cornerNames[i]));
        if (state.VertexColours) {
            lines << QStringLiteral("    ")
                    + Call("glColor4f", {FloatLiteral(v.Colour[0]), FloatLiteral(v.Colour[1]),
                                         FloatLiteral(v.Colour[2]), FloatLiteral(v.Colour[3])});
        }
        if (state.Projective) {
            lines << QStringLiteral("    ")
                    + Call("glTexCoord4f", {FloatLiteral(v.TexCoord[0]), FloatLiteral(v.TexCoord[1]),
                                            FloatLiteral(v.TexCoord[2]), FloatLiteral(v.TexCoord[3])});
        } else {
            lines << QStringLiteral("    ")
                    + Call("glTexCoord2f", {FloatLiteral(v.TexCoord[0]), FloatLiteral(v.TexCoord[1])});
        }
        lines << QStringLiteral("    ")
                + Call("glVertex3f", {FloatLiteral(v.Position[0]), FloatLiteral(v.Position[1]),
                                      FloatLiteral(v.Position[2])});
    }
    lines << Call("glEnd", {});
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

skimbler::DrawState Resolve(const Surface &surface, int viewWidth, int viewHeight, bool projective, double aspect)
{
    return ResolveSurface(surface, viewWidth, viewHeight, projective, aspect);
}

namespace {

QString WrapName(std::uint32_t wrap, skimbler::ShaderApi api)
{
    if (wrap == skimbler::gl::REPEAT)
        return QStringLiteral("GL_REPEAT");
    // GL_CLAMP: desktop OpenGL mixes the transparent border in with its
    // border clamp; OpenGL ES has none, so its shader does it.
    return api == skimbler::ShaderApi::OpenGL33 ? QStringLiteral("GL_CLAMP_TO_BORDER") : QStringLiteral("GL_CLAMP_TO_EDGE");
}

QString RawString(const char *name, const std::string &source)
{
    return QStringLiteral("static const char *const %1 = R\"glsl(%2)glsl\";")
        .arg(QString::fromLatin1(name), QString::fromStdString(source));
}

} // namespace

QString ShaderCode(skimbler::ShaderApi api, const skimbler::DrawState &state, const QString &imagePath, int viewWidth,
                   int viewHeight, double aspect)
{
    const bool desktop = api == skimbler::ShaderApi::OpenGL33;
    const skimbler::ShaderSources sources = skimbler::RuntimeShaderSources(api);
    const QString imageName = imagePath.isEmpty() ? QStringLiteral("no image") : QFileInfo(imagePath).fileName();

    QStringList lines;
    lines << QStringLiteral("/* Skimbler surface: %1, %2 x %3, for %4. */")
                 .arg(imageName)
                 .arg(state.ImageWidth)
                 .arg(state.ImageHeight)
                 .arg(desktop ? QStringLiteral("OpenGL 3.3 core (GLSL 330 core)")
                              : QStringLiteral("OpenGL ES 3.0 and WebGL 2 (GLSL ES 3.00)"));
    lines << RawString("skimblerVertexShader", sources.Vertex);
    lines << RawString("skimblerFragmentShader", sources.Fragment);
    lines << QString();

    QStringList layout;
    for (const skimbler::VertexAttribute &attribute : skimbler::RuntimeVertexAttributes) {
        layout << QStringLiteral("%1 (location %2, %3 floats at byte %4)")
                      .arg(QString::fromLatin1(attribute.Name))
                      .arg(attribute.Location)
                      .arg(attribute.Components)
                      .arg(attribute.Offset);
    }
    lines << QStringLiteral("/* A triangle strip: top left, bottom left, top right, bottom right. Per vertex:");
    lines << QStringLiteral("   %1; %2 bytes a vertex. */").arg(layout.join(QStringLiteral(", "))).arg(skimbler::RuntimeVertexStride());
    constexpr int kPerVertex = 3 + 4 + 4;
    float vertices[4 * kPerVertex];
    for (int i = 0; i < 4; ++i) {
        const skimbler::DrawVertex &vertex = state.Vertices[i];
        std::memcpy(&vertices[i * kPerVertex], vertex.Position, sizeof vertex.Position);
        std::memcpy(&vertices[i * kPerVertex + 3], vertex.TexCoord, sizeof vertex.TexCoord);
        std::memcpy(&vertices[i * kPerVertex + 7], vertex.Colour, sizeof vertex.Colour);
    }
    lines << OutputText::CArray("float", "skimblerVertices", OutputText::FloatLiterals(vertices, 4 * kPerVertex), kPerVertex);
    lines << QString();

    skimbler::View view;
    view.Width = viewWidth;
    view.Height = viewHeight;
    view.Aspect = aspect;
    double matrix[16];
    float single[16];
    lines << QStringLiteral("/* The view's %1 x %2 window at zoom 1, column-major. */").arg(viewWidth).arg(viewHeight);
    skimbler::ProjectionMatrix(view, matrix);
    for (int i = 0; i < 16; ++i)
        single[i] = static_cast<float>(matrix[i]);
    lines << OutputText::CArray("float", "skimblerProjection", OutputText::FloatLiterals(single, 16), 4);
    skimbler::SurfaceModelView(view, matrix);
    for (int i = 0; i < 16; ++i)
        single[i] = static_cast<float>(matrix[i]);
    lines << OutputText::CArray("float", "skimblerModelView", OutputText::FloatLiterals(single, 16), 4);
    if (desktop)
        lines << QStringLiteral("static const float skimblerBorder[4] = {0.0f, 0.0f, 0.0f, 0.0f};");
    lines << QString();

    const QString magFilter = EnumName(ValueTable::MagFilter(), state.MagFilter);
    const QString minFilter = EnumName(ValueTable::MinFilter(), state.MinFilter);
    const QString magInForce = InForce(ValueTable::MagFilter(), state.MagFilter, state.RequestedMagFilter);
    const QString minInForce = InForce(ValueTable::MinFilter(), state.MinFilter, state.RequestedMinFilter);
    const QString sampler = QStringLiteral("sampler");
    lines << QStringLiteral("/* program: the two shaders linked; vertexArray: skimblerVertices in a buffer, laid out as above. */");
    lines << Call("glUseProgram", {QStringLiteral("program")});
    lines << Call("glBindVertexArray", {QStringLiteral("vertexArray")});
    lines << Call("glActiveTexture", {QStringLiteral("GL_TEXTURE0")});
    lines << Call("glBindTexture", {QStringLiteral("GL_TEXTURE_2D"),
                                    QStringLiteral("texture /* %1%2 */")
                                        .arg(imageName, state.NeedsMipmaps ? QStringLiteral(", with its mipmap chain")
                                                                           : QString())});
    lines << Call("glBindSampler", {QStringLiteral("0"), sampler});
    lines << Call("glSamplerParameteri", {sampler, QStringLiteral("GL_TEXTURE_MAG_FILTER"), magInForce});
    lines << Call("glSamplerParameteri", {sampler, QStringLiteral("GL_TEXTURE_MIN_FILTER"), minInForce});
    lines << Call("glSamplerParameteri", {sampler, QStringLiteral("GL_TEXTURE_WRAP_S"), WrapName(state.WrapS, api)});
    lines << Call("glSamplerParameteri", {sampler, QStringLiteral("GL_TEXTURE_WRAP_T"), WrapName(state.WrapT, api)});
    if (desktop)
        lines << Call("glSamplerParameterfv", {sampler, QStringLiteral("GL_TEXTURE_BORDER_COLOR"), QStringLiteral("skimblerBorder")});
    const auto location = [](const char *name) {
        return QStringLiteral("glGetUniformLocation(program, \"%1\")").arg(QString::fromLatin1(name));
    };
    lines << Call("glUniformMatrix4fv", {location(skimbler::uniform::Projection), QStringLiteral("1"),
                                         QStringLiteral("GL_FALSE"), QStringLiteral("skimblerProjection")});
    lines << Call("glUniformMatrix4fv", {location(skimbler::uniform::ModelView), QStringLiteral("1"),
                                         QStringLiteral("GL_FALSE"), QStringLiteral("skimblerModelView")});
    lines << Call("glUniform1i", {location(skimbler::uniform::Texture), QStringLiteral("0")});
    if (!desktop)
        lines << Call("glUniform2i", {location(skimbler::uniform::Filters), magFilter, minFilter});
    if (state.Blend) {
        lines << Call("glEnable", {QStringLiteral("GL_BLEND")});
        lines << Call("glBlendFunc", {InForce(ValueTable::BlendFactor(), state.SrcFactor, state.RequestedSrcFactor),
                                      InForce(ValueTable::BlendFactor(), state.DestFactor, state.RequestedDestFactor)});
    } else {
        lines << Call("glDisable", {QStringLiteral("GL_BLEND")});
    }
    lines << Call("glDrawArrays", {QStringLiteral("GL_TRIANGLE_STRIP"), QStringLiteral("0"), QStringLiteral("4")});
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace CodeListing
