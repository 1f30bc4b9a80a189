// The resolved draw state as JSON: skimbler-cli info.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"
#include "render/OutputText.h"

#include "skimbler/ValueTable.h"

namespace Outputs {

namespace {

using namespace OutputText;
namespace ValueTable = skimbler::ValueTable;

Result Write(const Source &source)
{
    const skimbler::DrawState state =
        CodeListing::Resolve(*source.surface, source.view.width(), source.view.height(), source.projective, source.aspect);
    QStringList vertices;
    for (const skimbler::DrawVertex &vertex : state.Vertices) {
        vertices.append(QStringLiteral("    {\"position\": %1, \"texCoord\": %2, \"colour\": %3}")
                            .arg(JsonNumbers(vertex.Position, 3), JsonNumbers(vertex.TexCoord, 4),
                                 JsonNumbers(vertex.Colour, 4)));
    }
    const auto &fixed = ValueTable::DrawStateNames();
    QStringList fields;
    fields << QStringLiteral("\"file\": %1").arg(JsonString(source.surfacePath));
    fields << QStringLiteral("\"image\": %1").arg(JsonString(source.imagePath));
    fields << QStringLiteral("\"imageWidth\": %1").arg(state.ImageWidth);
    fields << QStringLiteral("\"imageHeight\": %1").arg(state.ImageHeight);
    fields << QStringLiteral("\"viewWidth\": %1").arg(source.view.width());
    fields << QStringLiteral("\"viewHeight\": %1").arg(source.view.height());
    fields << QStringLiteral("\"primitive\": %1").arg(JsonEnum(fixed, state.Primitive));
    fields << QStringLiteral("\"vertices\": [\n%1\n  ]").arg(vertices.join(QStringLiteral(",\n")));
    fields << QStringLiteral("\"vertexColours\": %1").arg(JsonBool(state.VertexColours));
    fields << QStringLiteral("\"projective\": %1").arg(JsonBool(state.Projective));
    fields << QStringLiteral("\"magFilter\": %1").arg(JsonEnum(ValueTable::MagFilter(), state.MagFilter));
    fields << QStringLiteral("\"minFilter\": %1").arg(JsonEnum(ValueTable::MinFilter(), state.MinFilter));
    fields << QStringLiteral("\"needsMipmaps\": %1").arg(JsonBool(state.NeedsMipmaps));
    fields << QStringLiteral("\"blend\": %1").arg(JsonBool(state.Blend));
    fields << QStringLiteral("\"srcFactor\": %1").arg(JsonEnum(ValueTable::BlendFactor(), state.SrcFactor));
    fields << QStringLiteral("\"destFactor\": %1").arg(JsonEnum(ValueTable::BlendFactor(), state.DestFactor));
    fields << QStringLiteral("\"wrapS\": %1").arg(JsonEnum(fixed, state.WrapS));
    fields << QStringLiteral("\"wrapT\": %1").arg(JsonEnum(fixed, state.WrapT));
    fields << QStringLiteral("\"textureEnvMode\": %1").arg(JsonEnum(fixed, state.TextureEnvMode));
    // What the surface holds where OpenGL refuses it; the fields above are
    // what is drawn instead.
    QStringList refused;
    if (state.MagRefused())
        refused << QStringLiteral("\"magFilter\": %1").arg(JsonEnum(ValueTable::MinFilter(), state.RequestedMagFilter));
    if (state.MinRefused())
        refused << QStringLiteral("\"minFilter\": %1").arg(JsonEnum(ValueTable::MinFilter(), state.RequestedMinFilter));
    if (state.BlendRefused()) {
        refused << QStringLiteral("\"srcFactor\": %1").arg(JsonEnum(ValueTable::BlendFactor(), state.RequestedSrcFactor));
        refused << QStringLiteral("\"destFactor\": %1").arg(JsonEnum(ValueTable::BlendFactor(), state.RequestedDestFactor));
    }
    if (!refused.isEmpty())
        fields << QStringLiteral("\"refused\": {%1}").arg(refused.join(QStringLiteral(", ")));
    const QString text = QStringLiteral("{\n  ") + fields.join(QStringLiteral(",\n  ")) + QStringLiteral("\n}\n");
    return {text.toUtf8(), {}, {}};
}

} // namespace

const Output InfoReport{"info", "the resolved draw state as JSON", Kind::Report, {}, false, &Write};

} // namespace Outputs
