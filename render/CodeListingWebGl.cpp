#include "render/CodeListingWebGl.h"

#include "render/CodeListing.h"
#include "render/OutputText.h"

#include "skimbler/RuntimeShaders.h"
#include "skimbler/Scene.h"
#include "skimbler/ValueTable.h"

#include <QFileInfo>
#include <QStringList>

#include <cstring>

namespace CodeListing {

using OutputText::FloatLiteral;

namespace {

namespace ValueTable = skimbler::ValueTable;

// A float as JavaScript reads it back into a Float32Array: the C literal
// without its suffix.
QString Number(float value)
{
    return FloatLiteral(value).chopped(1);
}

// "GL_LINEAR" is gl.LINEAR in WebGL; a value with no name stays a number.
QString Enum(const std::vector<ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = OutputText::GlName(table, value);
    if (name.isEmpty())
        return OutputText::Hex(value) + QStringLiteral(" /* not an OpenGL name */");
    return QStringLiteral("gl.") + name.mid(3);
}

QString Floats(const char *name, const float *values, int count, int perLine)
{
    QStringList numbers;
    for (int i = 0; i < count; ++i)
        numbers << Number(values[i]);
    return QStringLiteral("  const %1 = new Float32Array([\n").arg(QString::fromLatin1(name))
        + OutputText::ArrayRows(numbers, perLine) + QStringLiteral("\n  ]);");
}

// A template literal that starts with the shader's first character, so that
// "#version" is on its first line as GLSL ES requires.
QString Shader(const char *name, const std::string &source)
{
    return QStringLiteral("  const %1 = `%2`;").arg(QString::fromLatin1(name), QString::fromStdString(source));
}

} // namespace

QString WebGl2Code(const skimbler::DrawState &state, const QString &imagePath, bool rgb, int viewWidth,
                   int viewHeight, double aspect)
{
    const skimbler::ShaderSources sources = skimbler::RuntimeShaderSources(skimbler::ShaderApi::WebGL2);
    const QString imageName = imagePath.isEmpty() ? QStringLiteral("no image") : QFileInfo(imagePath).fileName();
    QStringList lines;
    lines << QStringLiteral("/* Skimbler surface: %1, %2 x %3%4, for WebGL 2.")
                 .arg(imageName)
                 .arg(state.ImageWidth)
                 .arg(state.ImageHeight)
                 .arg(rgb ? QStringLiteral(" (24-bit)") : QString());
    lines << QStringLiteral("   skimblerSurface(gl, image) makes what the surface needs in `gl`, a WebGL2RenderingContext");
    lines << QStringLiteral("   (made with {antialias: false} for the editor's edges), from `image` (an <img>, ImageBitmap,");
    lines << QStringLiteral("   ImageData or canvas of %1, loaded), and returns draw(), which draws the surface into the")
                 .arg(imageName);
    lines << QStringLiteral("   bound framebuffer; give it a %1 x %2 viewport. */").arg(viewWidth).arg(viewHeight);
    lines << QStringLiteral("function skimblerSurface(gl, image) {");
    lines << Shader("vertexShader", sources.Vertex);
    lines << Shader("fragmentShader", sources.Fragment);
    lines << QStringLiteral("  function compile(type, source) {");
    lines << QStringLiteral("    const shader = gl.createShader(type);");
    lines << QStringLiteral("    gl.shaderSource(shader, source);");
    lines << QStringLiteral("    gl.compileShader(shader);");
    lines << QStringLiteral("    if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS))");
    lines << QStringLiteral("      throw new Error(gl.getShaderInfoLog(shader));");
    lines << QStringLiteral("    return shader;");
    lines << QStringLiteral("  }");
    lines << QStringLiteral("  const program = gl.createProgram();");
    lines << QStringLiteral("  gl.attachShader(program, compile(gl.VERTEX_SHADER, vertexShader));");
    lines << QStringLiteral("  gl.attachShader(program, compile(gl.FRAGMENT_SHADER, fragmentShader));");
    lines << QStringLiteral("  gl.linkProgram(program);");
    lines << QStringLiteral("  if (!gl.getProgramParameter(program, gl.LINK_STATUS))");
    lines << QStringLiteral("    throw new Error(gl.getProgramInfoLog(program));");
    lines << QString();

    QStringList layout;
    for (const skimbler::VertexAttribute &attribute : skimbler::RuntimeVertexAttributes)
        layout << QStringLiteral("%1 (%2 floats)").arg(QString::fromLatin1(attribute.Name)).arg(attribute.Components);
    lines << QStringLiteral("  // A triangle strip: top left, bottom left, top right, bottom right; per vertex %1.")
                 .arg(layout.join(QStringLiteral(", ")));
    constexpr int kPerVertex = 3 + 4 + 4;
    float vertices[4 * kPerVertex];
    for (int i = 0; i < 4; ++i) {
        const skimbler::DrawVertex &vertex = state.Vertices[i];
        std::memcpy(&vertices[i * kPerVertex], vertex.Position, sizeof vertex.Position);
        std::memcpy(&vertices[i * kPerVertex + 3], vertex.TexCoord, sizeof vertex.TexCoord);
        std::memcpy(&vertices[i * kPerVertex + 7], vertex.Colour, sizeof vertex.Colour);
    }
    lines << Floats("vertices", vertices, 4 * kPerVertex, kPerVertex);
    lines << QStringLiteral("  const vertexArray = gl.createVertexArray();");
    lines << QStringLiteral("  gl.bindVertexArray(vertexArray);");
    lines << QStringLiteral("  const buffer = gl.createBuffer();");
    lines << QStringLiteral("  gl.bindBuffer(gl.ARRAY_BUFFER, buffer);");
    lines << QStringLiteral("  gl.bufferData(gl.ARRAY_BUFFER, vertices, gl.STATIC_DRAW);");
    for (const skimbler::VertexAttribute &attribute : skimbler::RuntimeVertexAttributes) {
        lines << QStringLiteral("  gl.enableVertexAttribArray(%1);").arg(attribute.Location);
        lines << QStringLiteral("  gl.vertexAttribPointer(%1, %2, gl.FLOAT, false, %3, %4);")
                     .arg(attribute.Location)
                     .arg(attribute.Components)
                     .arg(skimbler::RuntimeVertexStride())
                     .arg(attribute.Offset);
    }
    lines << QStringLiteral("  gl.bindVertexArray(null);");
    lines << QString();

    lines << QStringLiteral("  // The texture as the editor makes it: rows from v = 0 up (the image's bottom row first), the");
    lines << QStringLiteral("  // bytes as they are (not premultiplied, no colour conversion), the whole mipmap chain.");
    lines << QStringLiteral("  const texture = gl.createTexture();");
    lines << QStringLiteral("  gl.activeTexture(gl.TEXTURE0);");
    lines << QStringLiteral("  gl.bindTexture(gl.TEXTURE_2D, texture);");
    lines << QStringLiteral("  gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, true);");
    lines << QStringLiteral("  gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);");
    lines << QStringLiteral("  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);");
    lines << QStringLiteral("  gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);");
    lines << (rgb ? QStringLiteral("  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB8, gl.RGB, gl.UNSIGNED_BYTE, image);")
                  : QStringLiteral("  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, image);"));
    lines << QStringLiteral("  gl.generateMipmap(gl.TEXTURE_2D);");
    lines << QStringLiteral("  gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);");
    lines << QString();

    const QString magFilter = Enum(ValueTable::MagFilter(), state.MagFilter);
    const QString minFilter = Enum(ValueTable::MinFilter(), state.MinFilter);
    const auto wrap = [](std::uint32_t value) {
        return value == skimbler::gl::REPEAT ? QStringLiteral("gl.REPEAT") : QStringLiteral("gl.CLAMP_TO_EDGE");
    };
    lines << QStringLiteral("  // WebGL has no border colour: the fragment shader mixes the border in, told the filters and");
    lines << QStringLiteral("  // the border's alpha (1 for a 24-bit image, whose border stays opaque black).");
    lines << QStringLiteral("  const sampler = gl.createSampler();");
    lines << QStringLiteral("  gl.samplerParameteri(sampler, gl.TEXTURE_MAG_FILTER, %1);").arg(magFilter);
    lines << QStringLiteral("  gl.samplerParameteri(sampler, gl.TEXTURE_MIN_FILTER, %1);").arg(minFilter);
    lines << QStringLiteral("  gl.samplerParameteri(sampler, gl.TEXTURE_WRAP_S, %1);").arg(wrap(state.WrapS));
    lines << QStringLiteral("  gl.samplerParameteri(sampler, gl.TEXTURE_WRAP_T, %1);").arg(wrap(state.WrapT));
    lines << QString();

    skimbler::View view;
    view.Width = viewWidth;
    view.Height = viewHeight;
    view.Aspect = aspect;
    double matrix[16];
    float single[16];
    lines << QStringLiteral("  // The editor's camera for the %1 x %2 view at zoom 1, column-major.").arg(viewWidth).arg(viewHeight);
    skimbler::ProjectionMatrix(view, matrix);
    for (int i = 0; i < 16; ++i)
        single[i] = static_cast<float>(matrix[i]);
    lines << Floats("projection", single, 16, 4);
    skimbler::SurfaceModelView(view, matrix);
    for (int i = 0; i < 16; ++i)
        single[i] = static_cast<float>(matrix[i]);
    lines << Floats("modelView", single, 16, 4);
    const auto location = [](const char *uniform) {
        return QStringLiteral("gl.getUniformLocation(program, '%1')").arg(QString::fromLatin1(uniform));
    };
    lines << QStringLiteral("  const projectionAt = %1;").arg(location(skimbler::uniform::Projection));
    lines << QStringLiteral("  const modelViewAt = %1;").arg(location(skimbler::uniform::ModelView));
    lines << QStringLiteral("  const textureAt = %1;").arg(location(skimbler::uniform::Texture));
    lines << QStringLiteral("  const filtersAt = %1;").arg(location(skimbler::uniform::Filters));
    lines << QStringLiteral("  const borderAlphaAt = %1;").arg(location(skimbler::uniform::BorderAlpha));
    lines << QString();

    lines << QStringLiteral("  return function draw() {");
    lines << QStringLiteral("    gl.useProgram(program);");
    lines << QStringLiteral("    gl.bindVertexArray(vertexArray);");
    lines << QStringLiteral("    gl.activeTexture(gl.TEXTURE0);");
    lines << QStringLiteral("    gl.bindTexture(gl.TEXTURE_2D, texture);");
    lines << QStringLiteral("    gl.bindSampler(0, sampler);");
    lines << QStringLiteral("    gl.uniformMatrix4fv(projectionAt, false, projection);");
    lines << QStringLiteral("    gl.uniformMatrix4fv(modelViewAt, false, modelView);");
    lines << QStringLiteral("    gl.uniform1i(textureAt, 0);");
    lines << QStringLiteral("    gl.uniform2i(filtersAt, %1, %2);").arg(magFilter, minFilter);
    lines << QStringLiteral("    gl.uniform1f(borderAlphaAt, %1);").arg(rgb ? QStringLiteral("1.0") : QStringLiteral("0.0"));
    if (state.Blend) {
        lines << QStringLiteral("    gl.enable(gl.BLEND);");
        lines << QStringLiteral("    gl.blendFunc(%1, %2);")
                     .arg(Enum(ValueTable::BlendFactor(), state.SrcFactor), Enum(ValueTable::BlendFactor(), state.DestFactor));
    } else {
        lines << QStringLiteral("    gl.disable(gl.BLEND);");
    }
    lines << QStringLiteral("    gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);");
    lines << QStringLiteral("    gl.bindVertexArray(null);");
    lines << QStringLiteral("  };");
    lines << QStringLiteral("}");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace CodeListing
