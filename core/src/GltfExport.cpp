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
    const char *name = ValueTable::Find(ValueTable::BlendFactor(), factor);
    return name ? name : std::to_string(factor);
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

// Triangles in the picture's own s and t (t = 0 its bottom row).
struct Mesh
{
    std::vector<float> Positions;  // x y z
    std::vector<double> St;        // s t
    std::vector<float> Colours;    // r g b a, clamped as OpenGL clamps a vertex colour
    std::vector<std::uint16_t> Indices;
};

float Clamped(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

// The strip as it is, its own diagonal.
Mesh PlainQuad(const DrawState &state)
{
    Mesh mesh;
    for (const DrawVertex &v : state.Vertices) {
        mesh.Positions.insert(mesh.Positions.end(), v.Position, v.Position + 3);
        const float q = v.TexCoord[3] != 0.0f ? v.TexCoord[3] : 1.0f;
        mesh.St.push_back(double(v.TexCoord[0]) / q);
        mesh.St.push_back(double(v.TexCoord[1]) / q);
        for (int c = 0; c < 4; ++c)
            mesh.Colours.push_back(Clamped(v.Colour[c]));
    }
    mesh.Indices = {0, 1, 2, 2, 1, 3};
    return mesh;
}

// A point of the picture (s, t) lies in the strip's first triangle (corners
// 0 1 2) where t >= s, else in its second (2 1 3). Its weights in s and t
// across the triangle's corners are linear; OpenGL interpolates s q, t q and
// q linearly over the triangle, so the corner weights of the point on the
// triangle are those divided by each corner's q, normalised.
void CornerWeights(const DrawState &state, double s, double t, double weight[4])
{
    double linear[4] = {0, 0, 0, 0};
    if (t >= s) {
        linear[0] = t - s;
        linear[1] = 1.0 - t;
        linear[2] = s;
    } else {
        linear[1] = 1.0 - s;
        linear[2] = t;
        linear[3] = s - t;
    }
    double sum = 0;
    for (int k = 0; k < 4; ++k) {
        weight[k] = linear[k] / double(state.Vertices[k].TexCoord[3]);
        sum += weight[k];
    }
    for (int k = 0; k < 4; ++k)
        weight[k] /= sum;
}

// The weight OpenGL's interpolation gives the point (s, t) against a linear
// interpolation's: 1 over the sum of CornerWeights before normalising.
// Within one grid triangle, the texture coordinate a renderer interpolates
// linearly misses the projective one by at most (the largest of the three
// corners' weights over the smallest, less 1) times half the triangle's side,
// in each axis.
double Homogeneous(const DrawState &state, double s, double t)
{
    const auto q = [&state](int k) { return double(state.Vertices[k].TexCoord[3]); };
    const double sum = t >= s ? (t - s) / q(0) + (1.0 - t) / q(1) + s / q(2)
                              : (1.0 - s) / q(1) + t / q(2) + (s - t) / q(3);
    return 1.0 / sum;
}

constexpr int kMaxGrid = 64;

// The smallest grid whose largest texture error stays under a quarter of the
// picture's texel, or the largest grid allowed.
int GridSize(const DrawState &state)
{
    const double side = std::max(state.ImageWidth, state.ImageHeight);
    for (int n = 1; n < kMaxGrid; ++n) {
        std::vector<double> weight(std::size_t(n + 1) * (n + 1));
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i)
                weight[std::size_t(j) * (n + 1) + i] = Homogeneous(state, double(i) / n, double(j) / n);
        double worst = 1.0;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const double *row = &weight[std::size_t(j) * (n + 1) + i];
                const double *up = row + (n + 1);
                // Either triangle of the cell holds the corners (i, j) and (i+1, j+1).
                for (const double third : {row[1], up[0]}) {
                    const double a = row[0], b = up[1];
                    worst = std::max(worst, std::max({a, b, third}) / std::min({a, b, third}));
                }
            }
        if ((worst - 1.0) * side / (2.0 * n) < 0.25)
            return n;
    }
    return kMaxGrid;
}

// The projective quad as an n x n grid even in s and t, each cell cut along
// the strip's diagonal so that every triangle lies in one of the strip's
// two: positions and colours are then exactly the editor's (linear on its
// triangle), and only the texture coordinate between grid points is linear
// where the editor's is projective.
Mesh ProjectiveGrid(const DrawState &state)
{
    const int n = GridSize(state);
    Mesh mesh;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            const double s = double(i) / n, t = double(j) / n;
            double weight[4];
            CornerWeights(state, s, t, weight);
            for (int c = 0; c < 3; ++c) {
                double value = 0;
                for (int k = 0; k < 4; ++k)
                    value += weight[k] * state.Vertices[k].Position[c];
                mesh.Positions.push_back(float(value));
            }
            for (int c = 0; c < 4; ++c) {
                double value = 0;
                for (int k = 0; k < 4; ++k)
                    value += weight[k] * Clamped(state.Vertices[k].Colour[c]);
                mesh.Colours.push_back(float(value));
            }
            mesh.St.push_back(s);
            mesh.St.push_back(t);
        }
    const auto at = [n](int i, int j) { return std::uint16_t(j * (n + 1) + i); };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            // Turned as the strip's triangles are.
            mesh.Indices.insert(mesh.Indices.end(), {at(i, j + 1), at(i, j), at(i + 1, j + 1)});
            mesh.Indices.insert(mesh.Indices.end(), {at(i + 1, j + 1), at(i, j), at(i + 1, j)});
        }
    return mesh;
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
    const Mesh mesh = state.Projective ? ProjectiveGrid(state) : PlainQuad(state);
    const std::size_t count = mesh.Positions.size() / 3;
    std::vector<float> uvs(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        // The picture's s and t inset into the padded image, t from its top.
        uvs[2 * i] = float((mesh.St[2 * i] * w + 1.0) / (w + 2.0));
        uvs[2 * i + 1] = float(((1.0 - mesh.St[2 * i + 1]) * h + 1.0) / (h + 2.0));
    }
    float minimum[3], maximum[3];
    for (int c = 0; c < 3; ++c) {
        minimum[c] = maximum[c] = mesh.Positions[c];
        for (std::size_t i = 1; i < count; ++i) {
            minimum[c] = std::min(minimum[c], mesh.Positions[3 * i + c]);
            maximum[c] = std::max(maximum[c], mesh.Positions[3 * i + c]);
        }
    }
    std::vector<std::uint8_t> buffer;
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
    auto addAccessor = [&](std::size_t view, std::uint32_t componentType, std::size_t n, const char *type) {
        accessors.push_back(json{{"bufferView", view}, {"componentType", componentType}, {"count", n},
                                 {"type", type}});
        return accessors.size() - 1;
    };
    auto floats = [&](const std::vector<float> &values) {
        return addView(values.data(), values.size() * sizeof(float), kArrayBuffer);
    };
    json attributes;
    attributes["POSITION"] = addAccessor(floats(mesh.Positions), kFloat, count, "VEC3");
    accessors.back()["min"] = {minimum[0], minimum[1], minimum[2]};
    accessors.back()["max"] = {maximum[0], maximum[1], maximum[2]};
    attributes["TEXCOORD_0"] = addAccessor(floats(uvs), kFloat, count, "VEC2");
    if (state.VertexColours)
        attributes["COLOR_0"] = addAccessor(floats(mesh.Colours), kFloat, count, "VEC4");
    const std::size_t indexAccessor =
        addAccessor(addView(mesh.Indices.data(), mesh.Indices.size() * sizeof(std::uint16_t), kElementArrayBuffer),
                    kUnsignedShort, mesh.Indices.size(), "SCALAR");

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

    // The projection's own aspect, as the editor's: its fixed 4:3 even over
    // an export of another shape (stretched there, as a viewer that keeps
    // aspectRatio stretches it over its canvas), the true shape at a target
    // screen. The export's width over its height would show more of the
    // plane than the editor does.
    const double aspect =
        input.Options.Aspect > 0.0 && std::isfinite(input.Options.Aspect) ? input.Options.Aspect : scene::Aspect;
    const double halfFov = scene::FieldOfViewY / 2.0 * 3.14159265358979323846 / 180.0;
    const double zoom = input.Zoom > 0.0f && std::isfinite(input.Zoom) ? double(input.Zoom) : 1.0;
    json camera{{"type", "perspective"},
                {"perspective",
                 {{"yfov", zoom == 1.0 ? 2.0 * halfFov : 2.0 * std::atan(std::tan(halfFov) / zoom)},
                  {"aspectRatio", aspect},
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

bool SettingsFromGltf(const std::string &bytes, SurfaceSettings *settings)
{
    // A .glb holds its JSON as the first chunk, after the 12-byte header.
    std::string text = bytes;
    if (bytes.size() >= 20 && bytes.compare(0, 4, "glTF") == 0) {
        std::uint32_t length = 0, type = 0;
        std::memcpy(&length, bytes.data() + 12, 4);
        std::memcpy(&type, bytes.data() + 16, 4);
        if (type != 0x4E4F534A || length > bytes.size() - 20)
            return false;
        text = bytes.substr(20, length);
    }
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
