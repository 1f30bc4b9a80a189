#include "skimbler/GltfExport.h"

#include "skimbler/Scene.h"
#include "skimbler/ValueTable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace skimbler {

namespace {

using nlohmann::json;

constexpr std::uint32_t kClampToEdge = 33071;
constexpr std::uint32_t kFloat = 5126;
constexpr std::uint32_t kUnsignedShort = 5123;
constexpr std::uint32_t kArrayBuffer = 34962;
constexpr std::uint32_t kElementArrayBuffer = 34963;

std::uint32_t Bits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FromBits(std::uint32_t bits)
{
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void Append(std::vector<std::uint8_t> *buffer, const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    buffer->insert(buffer->end(), bytes, bytes + size);
}

void Align4(std::vector<std::uint8_t> *buffer, std::uint8_t fill)
{
    while (buffer->size() % 4 != 0)
        buffer->push_back(fill);
}

std::string Base64(const std::uint8_t *data, std::size_t size)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        const std::uint32_t n = (std::uint32_t(data[i]) << 16) | (i + 1 < size ? std::uint32_t(data[i + 1]) << 8 : 0)
            | (i + 2 < size ? std::uint32_t(data[i + 2]) : 0);
        text += digits[(n >> 18) & 63];
        text += digits[(n >> 12) & 63];
        text += i + 1 < size ? digits[(n >> 6) & 63] : '=';
        text += i + 2 < size ? digits[n & 63] : '=';
    }
    return text;
}

std::string FactorName(std::uint32_t factor)
{
    const char *name = ValueTable::NameOf(ValueTable::BlendFactor(), factor);
    if (std::strcmp(name, ValueTable::Unknown) == 0)
        return std::to_string(factor);
    return name;
}

// Every setting, with the floats also as their bit patterns so that they
// read back exactly whatever the reader's number parsing does.
json SettingsJson(const SurfaceSettings &s)
{
    json points = json::array(), pointBits = json::array(), colors = json::array(), colorBits = json::array();
    for (const auto &point : s.Points)
        for (float v : point) {
            points.push_back(v);
            pointBits.push_back(Bits(v));
        }
    for (const auto &color : s.Colors)
        for (float v : color) {
            colors.push_back(v);
            colorBits.push_back(Bits(v));
        }
    return json{{"version", s.Version},
                {"bpp", s.BPP},
                {"type", s.Type},
                {"dataFormat", s.DataFormat},
                {"colorKey", s.ColorKey},
                {"magFilter", s.MagFilter},
                {"minFilter", s.MinFilter},
                {"srcFactor", s.SrcFactor},
                {"destFactor", s.DestFactor},
                {"flags", s.Flags},
                {"perspectiveCorrect", s.PerspectiveCorrect},
                {"points", points},
                {"pointBits", pointBits},
                {"colors", colors},
                {"colorBits", colorBits}};
}

} // namespace

std::vector<std::uint8_t> PadImage(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                   std::uint32_t format, int bytesPerPixel, int components)
{
    const std::size_t paddedWidth = std::size_t(width) + 2;
    const std::size_t paddedHeight = std::size_t(height) + 2;
    const std::uint8_t borderAlpha = components == 4 ? 0 : 255;
    std::vector<std::uint8_t> out(paddedWidth * paddedHeight * 4, 0);
    for (std::size_t i = 3; i < out.size(); i += 4)
        out[i] = borderAlpha;
    for (std::uint32_t row = 0; row < height; ++row) {
        // Texture row 0 is the bottom of the picture; PNG rows go top first.
        const std::uint8_t *source = pixels + std::size_t(row) * width * bytesPerPixel;
        std::uint8_t *target = out.data() + ((height - row) * paddedWidth + 1) * 4;
        for (std::uint32_t x = 0; x < width; ++x, source += bytesPerPixel, target += 4) {
            const bool bgra = format == gl::BGRA;
            target[0] = bgra ? source[2] : source[0];
            target[1] = source[1];
            target[2] = bgra ? source[0] : source[2];
            target[3] = components == 4 && bytesPerPixel == 4 ? source[3] : 255;
        }
    }
    return out;
}

GltfOutput ExportGltf(const GltfInput &input, bool binary)
{
    GltfOutput output;
    const DrawState state = Resolve(input.Settings, input.ImageWidth, input.ImageHeight, input.Options);
    const double w = input.ImageWidth, h = input.ImageHeight;

    // Attributes and indices, then (in a .glb) the PNG.
    std::vector<std::uint8_t> buffer;
    float positions[4][3], uvs[4][2], colours[4][4];
    float minimum[3], maximum[3];
    for (int i = 0; i < 4; ++i) {
        const DrawVertex &v = state.Vertices[i];
        for (int c = 0; c < 3; ++c) {
            positions[i][c] = v.Position[c];
            minimum[c] = i == 0 ? v.Position[c] : std::min(minimum[c], v.Position[c]);
            maximum[c] = i == 0 ? v.Position[c] : std::max(maximum[c], v.Position[c]);
        }
        // The plain quad: s and t after the divide by q.
        const float q = v.TexCoord[3] != 0.0f ? v.TexCoord[3] : 1.0f;
        const double s = v.TexCoord[0] / q, t = v.TexCoord[1] / q;
        uvs[i][0] = float((s * w + 1.0) / (w + 2.0));
        uvs[i][1] = float(((1.0 - t) * h + 1.0) / (h + 2.0));
        for (int c = 0; c < 4; ++c)
            colours[i][c] = std::clamp(v.Colour[c], 0.0f, 1.0f);
    }
    json bufferViews = json::array(), accessors = json::array();
    auto addView = [&](const void *data, std::size_t size, std::uint32_t target) {
        Align4(&buffer, 0);
        json view{{"buffer", 0}, {"byteOffset", buffer.size()}, {"byteLength", size}};
        if (target != 0)
            view["target"] = target;
        Append(&buffer, data, size);
        bufferViews.push_back(view);
        return bufferViews.size() - 1;
    };
    auto addAccessor = [&](std::size_t view, std::uint32_t componentType, std::size_t count, const char *type) {
        accessors.push_back(json{{"bufferView", view}, {"componentType", componentType}, {"count", count},
                                 {"type", type}});
        return accessors.size() - 1;
    };
    json attributes;
    attributes["POSITION"] = addAccessor(addView(positions, sizeof positions, kArrayBuffer), kFloat, 4, "VEC3");
    accessors.back()["min"] = {minimum[0], minimum[1], minimum[2]};
    accessors.back()["max"] = {maximum[0], maximum[1], maximum[2]};
    attributes["TEXCOORD_0"] = addAccessor(addView(uvs, sizeof uvs, kArrayBuffer), kFloat, 4, "VEC2");
    if (state.VertexColours)
        attributes["COLOR_0"] = addAccessor(addView(colours, sizeof colours, kArrayBuffer), kFloat, 4, "VEC4");
    // The strip's two triangles, its own diagonal.
    const std::uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    const std::size_t indexAccessor =
        addAccessor(addView(indices, sizeof indices, kElementArrayBuffer), kUnsignedShort, 6, "SCALAR");

    json image{{"mimeType", "image/png"}};
    if (binary)
        image["bufferView"] = addView(input.Png.data(), input.Png.size(), 0);
    else
        image = json{{"uri", "data:image/png;base64," + Base64(input.Png.data(), input.Png.size())}};
    Align4(&buffer, 0);

    json material{{"name", "surface"},
                  {"pbrMetallicRoughness",
                   {{"baseColorTexture", {{"index", 0}}}, {"metallicFactor", 0.0}, {"roughnessFactor", 1.0}}},
                  {"doubleSided", true},
                  {"extensions", {{"KHR_materials_unlit", json::object()}}}};
    if (state.SrcFactor == gl::SRC_ALPHA && state.DestFactor == gl::ONE_MINUS_SRC_ALPHA) {
        material["alphaMode"] = "BLEND";
    } else if (state.SrcFactor == gl::ONE && state.DestFactor == gl::ZERO) {
        material["alphaMode"] = "OPAQUE";
    } else {
        material["alphaMode"] = "BLEND";
        const std::string src = FactorName(state.SrcFactor), dest = FactorName(state.DestFactor);
        material["extras"] = {{"skimbler", {{"blend", {src, dest}}}}};
        output.Warning = "blending " + src + " / " + dest
            + " is kept in the material's extras; viewers and engines that do not read it draw plain alpha blending";
    }

    const int viewWidth = std::max(1, input.Options.ViewWidth), viewHeight = std::max(1, input.Options.ViewHeight);
    json camera{{"type", "perspective"},
                {"perspective",
                 {{"yfov", scene::FieldOfViewY * 3.14159265358979323846 / 180.0},
                  {"aspectRatio", double(viewWidth) / double(viewHeight)},
                  {"znear", scene::NearPlane},
                  {"zfar", scene::FarPlane}}}};

    json bufferJson{{"byteLength", buffer.size()}};
    if (!binary)
        bufferJson["uri"] = "data:application/octet-stream;base64," + Base64(buffer.data(), buffer.size());

    json document{
        {"asset",
         {{"version", "2.0"},
          {"generator", input.Generator},
          {"extras",
           {{"skimbler",
             {{"formatVersion", input.FileFormatVersion}, {"imageWidth", input.ImageWidth},
              {"imageHeight", input.ImageHeight}, {"projective", state.Projective},
              {"settings", SettingsJson(input.Settings)}}}}}}},
        {"extensionsUsed", {"KHR_materials_unlit"}},
        {"scene", 0},
        {"scenes", {{{"nodes", {0, 1}}}}},
        {"nodes",
         {{{"name", "surface"}, {"mesh", 0}},
          {{"name", "view"}, {"camera", 0}, {"translation", {0.0, 0.0, -double(scene::PlaneZ)}}}}},
        {"cameras", {camera}},
        {"meshes",
         {{{"name", "surface"},
           {"primitives", {{{"attributes", attributes}, {"indices", indexAccessor}, {"material", 0}, {"mode", 4}}}}}}},
        {"materials", {material}},
        {"textures", {{{"source", 0}, {"sampler", 0}}}},
        {"samplers",
         {{{"magFilter", state.MagFilter},
           {"minFilter", state.MinFilter},
           {"wrapS", kClampToEdge},
           {"wrapT", kClampToEdge}}}},
        {"images", {image}},
        {"buffers", {bufferJson}},
        {"bufferViews", bufferViews},
        {"accessors", accessors}};

    const std::string text = document.dump(binary ? -1 : 1);
    if (!binary) {
        output.Bytes.assign(text.begin(), text.end());
        output.Bytes.push_back('\n');
        return output;
    }
    std::vector<std::uint8_t> chunk(text.begin(), text.end());
    Align4(&chunk, ' ');
    auto word = [&output](std::uint32_t value) { Append(&output.Bytes, &value, 4); };
    word(0x46546C67);  // "glTF"
    word(2);
    word(std::uint32_t(12 + 8 + chunk.size() + 8 + buffer.size()));
    word(std::uint32_t(chunk.size()));
    word(0x4E4F534A);  // "JSON"
    Append(&output.Bytes, chunk.data(), chunk.size());
    word(std::uint32_t(buffer.size()));
    word(0x004E4942);  // "BIN"
    Append(&output.Bytes, buffer.data(), buffer.size());
    return output;
}

bool SettingsFromGltf(const std::string &text, SurfaceSettings *settings)
{
    const json document = json::parse(text, nullptr, false);
    if (document.is_discarded())
        return false;
    const json *found = nullptr;
    try {
        found = &document.at("asset").at("extras").at("skimbler").at("settings");
        const json &s = *found;
        SurfaceSettings out;
        out.Version = s.at("version").get<std::uint32_t>();
        out.BPP = s.at("bpp").get<std::uint32_t>();
        out.Type = s.at("type").get<std::uint32_t>();
        out.DataFormat = s.at("dataFormat").get<std::uint32_t>();
        out.ColorKey = s.at("colorKey").get<std::uint32_t>();
        out.MagFilter = s.at("magFilter").get<std::uint32_t>();
        out.MinFilter = s.at("minFilter").get<std::uint32_t>();
        out.SrcFactor = s.at("srcFactor").get<std::uint32_t>();
        out.DestFactor = s.at("destFactor").get<std::uint32_t>();
        out.Flags = s.at("flags").get<std::uint32_t>();
        out.PerspectiveCorrect = s.at("perspectiveCorrect").get<std::uint32_t>();
        const json &points = s.at("pointBits"), &colors = s.at("colorBits");
        if (points.size() != 12 || colors.size() != 16)
            return false;
        for (int i = 0; i < 12; ++i)
            out.Points[i / 3][i % 3] = FromBits(points[i].get<std::uint32_t>());
        for (int i = 0; i < 16; ++i)
            out.Colors[i / 4][i % 4] = FromBits(colors[i].get<std::uint32_t>());
        *settings = out;
        return true;
    } catch (const json::exception &) {
        return false;
    }
}

} // namespace skimbler
