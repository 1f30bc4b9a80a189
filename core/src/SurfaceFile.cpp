#include "skimbler/SurfaceFile.h"

#include "SurfacePaths.h"

#ifndef _WIN32
#include "skimbler/RegularFile.h"
#endif

#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace skimbler {
namespace SurfaceFile {

const char *const FormatName = "skimbler-surface";
const char *const Extension = "skimbler";

namespace {

using Json = nlohmann::json;

struct UnsignedField
{
    const char *name;
    std::uint32_t SurfaceSettings::*member;  // null for the image size
};

// In the order a file is checked, so the first fault found is the one named.
const UnsignedField kUnsignedFields[] = {
    {"Version", &SurfaceSettings::Version},
    {"BPP", &SurfaceSettings::BPP},
    {"Type", &SurfaceSettings::Type},
    {"DataFormat", &SurfaceSettings::DataFormat},
    {"Width", nullptr},
    {"Height", nullptr},
    {"ColorKey", &SurfaceSettings::ColorKey},
    {"MagFilter", &SurfaceSettings::MagFilter},
    {"MinFilter", &SurfaceSettings::MinFilter},
    {"SrcFactor", &SurfaceSettings::SrcFactor},
    {"DestFactor", &SurfaceSettings::DestFactor},
    {"Flags", &SurfaceSettings::Flags},
};

// Optional: absent means off.
const char *const kPerspectiveCorrect = "PerspectiveCorrect";

std::string SystemReason(int code)
{
    return std::strerror(code);
}

// ---- Paths: plain text operations, as the editor has always made them ----

std::string CurrentFolder()
{
#ifdef _WIN32
    std::error_code failed;
    const std::string folder = std::filesystem::current_path(failed).generic_u8string();
    return failed ? std::string("/") : folder;
#else
    std::vector<char> buffer(PATH_MAX);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
#endif
}

// The path with '/' between its parts. Windows also takes '\\', which
// elsewhere is a character a name may hold.
std::string Generic(const std::string &path)
{
#ifdef _WIN32
    std::string generic = path;
    for (char &c : generic) {
        if (c == '\\')
            c = '/';
    }
    return generic;
#else
    return path;
#endif
}

// How many leading characters of a generic path name its root: 1 for "/";
// on Windows also 3 for a drive ("C:/") and the whole "//server/share/" of
// a network path. 0 for a relative path.
std::size_t RootLength(const std::string &path)
{
#ifdef _WIN32
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '/')
        return 3;
    if (path.size() > 2 && path[0] == '/' && path[1] == '/' && path[2] != '/') {
        const std::size_t server = path.find('/', 2);
        const std::size_t share = server == std::string::npos ? server : path.find('/', server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
#endif
    return !path.empty() && path[0] == '/' ? 1 : 0;
}

std::vector<std::string> Parts(const std::string &path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// Without "." and empty parts, ".." taken back where it can be.
std::string CleanPath(const std::string &path)
{
    const std::size_t rootLength = RootLength(path);
    const bool absolute = rootLength > 0;
    std::vector<std::string> kept;
    for (const std::string &part : Parts(path.substr(rootLength))) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!kept.empty() && kept.back() != "..") {
                kept.pop_back();
                continue;
            }
            if (absolute)
                continue;
        }
        kept.push_back(part);
    }
    std::string clean = path.substr(0, rootLength);
    if (absolute && clean.back() != '/')
        clean += '/';
    for (std::size_t i = 0; i < kept.size(); ++i)
        clean += (i ? "/" : "") + kept[i];
    return clean.empty() ? "." : clean;
}

std::string Join(const std::string &folder, const std::string &name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

// `path` made absolute against the current folder, and cleaned.
std::string AbsoluteFilePath(const std::string &path)
{
    const std::string generic = Generic(path);
    return CleanPath(RootLength(generic) > 0 ? generic : Join(CurrentFolder(), generic));
}

// The folder `path` is in, absolute.
std::string FolderOf(const std::string &path)
{
    const std::string absolute = AbsoluteFilePath(path);
    const std::size_t rootLength = RootLength(absolute);
    const std::size_t slash = absolute.rfind('/');
    return slash == std::string::npos || slash < rootLength ? absolute.substr(0, rootLength)
                                                            : absolute.substr(0, slash);
}

// `name` taken from `folder` (the current folder when empty); an absolute
// name stays as it is.
std::string FromFolder(const std::string &folder, const std::string &name)
{
    const std::string generic = Generic(name);
    if (RootLength(generic) > 0)
        return generic;
    return Join(AbsoluteFilePath(folder.empty() ? "." : folder), generic);
}

// The way from `folder` to the absolute, clean path `file`.
std::string RelativeFilePath(const std::string &folder, const std::string &file)
{
    const std::vector<std::string> from = Parts(AbsoluteFilePath(folder.empty() ? "." : folder));
    const std::vector<std::string> to = Parts(file);
    std::size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common])
        ++common;
    std::string relative;
    for (std::size_t i = common; i < from.size(); ++i)
        relative += "../";
    for (std::size_t i = common; i < to.size(); ++i)
        relative += to[i] + (i + 1 < to.size() ? "/" : "");
    return relative.empty() ? "." : relative;
}

bool Exists(const std::string &path)
{
#ifdef _WIN32
    std::error_code failed;
    return std::filesystem::exists(std::filesystem::u8path(path), failed);
#else
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
#endif
}

// ---- Writing the document text ----

// The shortest text that reads back as the same double; whole numbers up to
// 2^53 without a fraction or exponent, otherwise whichever of the plain and
// the exponent form (at least two exponent digits) is shorter, the plain one
// on a tie. Files written before core wrote numbers exactly so.
std::string NumberText(double value)
{
    char buffer[64];
    if (std::floor(value) == value && std::fabs(value) <= 9007199254740992.0) {
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
        return buffer;
    }
#if defined(__cpp_lib_to_chars)
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    std::string text(buffer, end);
#else
    // Standard libraries without to_chars for floating point (emscripten's):
    // the fewest digits that read back as the same double.
    for (int precision = 0; precision < 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    std::string text(buffer);
#endif
    std::string sign;
    if (text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, e);
    if (digits.size() > 1)
        digits.erase(1, 1);  // the point
    const int exponent = std::atoi(text.c_str() + e + 1);
    const int count = static_cast<int>(digits.size());
    const int point = exponent + 1;  // digits before the decimal point

    std::string plain;
    if (point <= 0)
        plain = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    else if (point >= count)
        plain = digits + std::string(static_cast<std::size_t>(point - count), '0');
    else
        plain = digits.substr(0, static_cast<std::size_t>(point)) + '.' + digits.substr(static_cast<std::size_t>(point));
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    const std::string scientific = digits.substr(0, 1) + (count > 1 ? '.' + digits.substr(1) : std::string()) + tail;
    return sign + (plain.size() <= scientific.size() ? plain : scientific);
}

// JSON text of a string: quotes, backslashes and control characters escaped,
// everything else as UTF-8 (a byte that is not UTF-8 becomes U+FFFD).
std::string StringText(const std::string &text)
{
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Indent(int level)
{
    return std::string(static_cast<std::size_t>(level) * 4, ' ');
}

// An object whose members are already written; keys in byte order.
std::string ObjectText(const std::map<std::string, std::string> &members, int level)
{
    std::string text = "{\n";
    bool first = true;
    for (const auto &member : members) {
        if (!first)
            text += ",\n";
        first = false;
        text += Indent(level + 1) + StringText(member.first) + ": " + member.second;
    }
    if (!members.empty())
        text += '\n';
    return text + Indent(level) + '}';
}

std::string ArrayText(const std::vector<std::string> &items, int level)
{
    std::string text = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i)
        text += Indent(level + 1) + items[i] + (i + 1 < items.size() ? ",\n" : "\n");
    return text + Indent(level) + ']';
}

std::string FloatRowsText(const float *values, int width, int level)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 4; ++i) {
        std::vector<std::string> row;
        for (int j = 0; j < width; ++j)
            // A float is exact as a double. Only the sign of zero is not
            // kept (files never had -0), and -0 draws exactly like 0.
            row.push_back(NumberText(static_cast<double>(values[i * width + j]) + 0.0));
        rows.push_back(ArrayText(row, level + 1));
    }
    return ArrayText(rows, level);
}

bool AllFinite(const float *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

// ---- Checking what a file holds ----

bool ReadUnsigned(const Json &object, const char *name, std::uint32_t *value, std::string *error)
{
    const auto found = object.find(name);
    if (found == object.end()) {
        *error = std::string("the field \"") + name + "\" is missing";
        return false;
    }
    const double d = found->is_number() ? found->get<double>() : std::numeric_limits<double>::quiet_NaN();
    if (!std::isfinite(d) || d < 0.0 || d > 4294967295.0 || std::floor(d) != d) {
        *error = std::string("the field \"") + name + "\" must be a whole number from 0 to 4294967295";
        return false;
    }
    *value = static_cast<std::uint32_t>(d);
    return true;
}

// Each entry an array of `width` finite numbers that fit a float, within
// [low, high].
bool ReadFloatRows(const Json &object, const char *name, int width, double low, double high, float *out,
                   std::string *error)
{
    const auto rows = object.find(name);
    if (rows == object.end() || !rows->is_array() || rows->size() != 4) {
        *error = std::string("the field \"") + name + "\" must hold 4 entries";
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        const Json &row = (*rows)[static_cast<std::size_t>(i)];
        if (!row.is_array() || row.size() != static_cast<std::size_t>(width)) {
            *error = "entry " + std::to_string(i) + " of \"" + name + "\" must hold " + std::to_string(width)
                + " numbers";
            return false;
        }
        for (int j = 0; j < width; ++j) {
            const Json &n = row[static_cast<std::size_t>(j)];
            const double d = n.is_number() ? n.get<double>() : std::numeric_limits<double>::quiet_NaN();
            if (!std::isfinite(d) || d < low || d > high || !std::isfinite(static_cast<float>(d))) {
                *error = "entry " + std::to_string(i) + " of \"" + name + "\" holds a number out of range";
                return false;
            }
            // -0 reads as 0, as files have always been read: a surface that
            // is saved and opened again stays bit for bit the same.
            out[i * width + j] = static_cast<float>(d) + 0.0f;
        }
    }
    return true;
}

// Deeper than any surface file: refused before it costs memory.
// The parser quotes what it read; a number of a million digits is cut to
// something a message can hold.
std::string Shortened(const std::string &detail)
{
    constexpr std::size_t kLongest = 40;
    std::string shortened;
    std::size_t at = 0;
    while (at < detail.size()) {
        const std::size_t open = detail.find('\'', at);
        const std::size_t close = open == std::string::npos ? open : detail.find('\'', open + 1);
        if (close == std::string::npos) {
            shortened += detail.substr(at);
            break;
        }
        const std::size_t length = close - open - 1;
        shortened += detail.substr(at, open + 1 - at);
        if (length > kLongest)
            shortened += detail.substr(open + 1, kLongest - 8) + "... (" + std::to_string(length) + " characters)";
        else
            shortened += detail.substr(open + 1, length);
        shortened += '\'';
        at = close + 1;
    }
    return shortened;
}

constexpr int kMaxDepth = 1024;
struct TooDeep
{
};

} // namespace

bool Serialise(const SurfaceSettings &settings, std::uint32_t width, std::uint32_t height,
               const std::string &imagePath, const std::string &fileDirectory, std::string *data,
               std::string *error)
{
    if (!AllFinite(&settings.Points[0][0], 12) || !AllFinite(&settings.Colors[0][0], 16)) {
        *error = "a corner point or colour is not a finite number";
        return false;
    }
    std::map<std::string, std::string> fields;
    for (const UnsignedField &field : kUnsignedFields) {
        const std::uint32_t value = field.member ? settings.*(field.member)
                                                 : (field.name[0] == 'W' ? width : height);
        fields[field.name] = std::to_string(value);
    }
    fields["Points"] = FloatRowsText(&settings.Points[0][0], 3, 2);
    fields["Colors"] = FloatRowsText(&settings.Colors[0][0], 4, 2);
    // Written only when on, so a surface without it keeps the bytes files
    // have always had.
    if (settings.PerspectiveCorrect != 0)
        fields[kPerspectiveCorrect] = "true";

    std::map<std::string, std::string> image;
    if (!imagePath.empty()) {
        const std::string absolute = AbsoluteFilePath(imagePath);
        image["relative"] = StringText(RelativeFilePath(fileDirectory, absolute));
        image["absolute"] = StringText(absolute);
    }

    std::map<std::string, std::string> root;
    root["format"] = StringText(FormatName);
    root["version"] = std::to_string(FormatVersion);
    root["image"] = ObjectText(image, 1);
    root["surface"] = ObjectText(fields, 1);
    *data = ObjectText(root, 0) + '\n';
    return true;
}

bool Read(const std::string &path, Contents *contents, std::string *error)
{
    const char *const tooLarge = "the file is too large to be a Skimbler surface";
#ifdef _WIN32
    // Paths are UTF-8 here, as everywhere in core.
    const std::filesystem::path native = std::filesystem::u8path(path);
    std::error_code failed;
    if (std::filesystem::exists(native, failed) && !std::filesystem::is_regular_file(native, failed)) {
        *error = "it is not a regular file";
        return false;
    }
    std::ifstream in(native, std::ios::binary);
    if (!in) {
        *error = SystemReason(ENOENT);
        return false;
    }
    std::string data;
    std::array<char, 16384> block;
    while (in.read(block.data(), block.size()) || in.gcount() > 0) {
        data.append(block.data(), static_cast<std::size_t>(in.gcount()));
        if (data.size() > MaxFileSize) {
            *error = tooLarge;
            return false;
        }
    }
    return Parse(data, FolderOf(path), contents, error);
#else
    bool notRegular = false;
    const int fd = OpenRegularFile(path.c_str(), &notRegular);
    if (fd < 0) {
        *error = notRegular ? "it is not a regular file" : SystemReason(errno);
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && info.st_size > static_cast<off_t>(MaxFileSize)) {
        ::close(fd);
        *error = tooLarge;
        return false;
    }
    // Read block by block rather than into a buffer of the largest size allowed.
    std::string data;
    std::array<char, 16384> block;
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            *error = SystemReason(errno);
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        data.append(block.data(), static_cast<std::size_t>(got));
        if (data.size() > MaxFileSize) {
            ::close(fd);
            *error = tooLarge;
            return false;
        }
    }
    ::close(fd);
    return Parse(data, FolderOf(path), contents, error);
#endif
}

bool Parse(std::string_view data, const std::string &fileDirectory, Contents *contents, std::string *error)
{
    // The parser would only say its input ended early.
    if (data.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        *error = "the file is empty";
        return false;
    }
    Json root;
    try {
        const Json::parser_callback_t depthLimit = [](int depth, Json::parse_event_t event, Json &) {
            if ((event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start)
                && depth >= kMaxDepth)
                throw TooDeep{};
            return true;
        };
        root = Json::parse(data.begin(), data.end(), depthLimit);
    } catch (const Json::exception &e) {
        // The parser's own words, without its numbered prefix.
        std::string detail = e.what();
        const std::size_t prefix = detail.find("] ");
        if (detail.rfind("[json.exception.", 0) == 0 && prefix != std::string::npos)
            detail.erase(0, prefix + 2);
        *error = "it is not a Skimbler surface (not valid JSON: " + Shortened(detail) + ")";
        return false;
    } catch (const TooDeep &) {
        *error = "it is not a Skimbler surface (not valid JSON: too deeply nested)";
        return false;
    }
    if (!root.is_object()) {
        *error = "it is not a Skimbler surface (not valid JSON: the document is not an object)";
        return false;
    }
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || format->get_ref<const std::string &>() != FormatName) {
        *error = "it is not a Skimbler surface";
        return false;
    }
    const auto versionValue = root.find("version");
    const double version = versionValue != root.end() && versionValue->is_number() ? versionValue->get<double>() : -1;
    if (version < 1 || std::floor(version) != version) {
        *error = "its format version is missing or invalid";
        return false;
    }
    if (version > FormatVersion) {
        char text[128];
        std::snprintf(text, sizeof text, "it was written by a newer Skimbler (format version %g; this one reads up to %d)",
                      version, FormatVersion);
        *error = text;
        return false;
    }

    Contents read;
    const auto imageValue = root.find("image");
    static const Json noImage = Json::object();
    if (imageValue != root.end() && !imageValue->is_object()) {
        *error = "the field \"image\" must be an object";
        return false;
    }
    const Json &image = imageValue != root.end() ? *imageValue : noImage;
    for (const char *key : {"relative", "absolute"}) {
        const auto v = image.find(key);
        if (v != image.end() && !v->is_string()) {
            *error = std::string("the image path \"") + key + "\" must be text";
            return false;
        }
    }
    read.relativeImagePath = image.value("relative", std::string());
    read.absoluteImagePath = image.value("absolute", std::string());
    // The system would read the path only up to the NUL: another file.
    for (const std::string *path : {&read.relativeImagePath, &read.absoluteImagePath}) {
        if (path->find('\0') != std::string::npos) {
            *error = std::string("the image path \"") + (path == &read.relativeImagePath ? "relative" : "absolute")
                + "\" holds a NUL character";
            return false;
        }
    }
    const std::string fromRelative =
        read.relativeImagePath.empty() ? std::string() : FromFolder(fileDirectory, read.relativeImagePath);
    if (!fromRelative.empty() && Exists(fromRelative))
        read.imagePath = fromRelative;
    else if (!read.absoluteImagePath.empty())
        // A hand-edited relative path here is taken from the file's folder,
        // not from wherever the program was started.
        read.imagePath = FromFolder(fileDirectory, read.absoluteImagePath);
    else
        read.imagePath = fromRelative;

    const auto fields = root.find("surface");
    if (fields == root.end() || !fields->is_object()) {
        *error = "the surface's fields are missing";
        return false;
    }
    for (const UnsignedField &field : kUnsignedFields) {
        std::uint32_t *into = field.member ? &(read.Settings.*(field.member))
                                           : (field.name[0] == 'W' ? &read.Width : &read.Height);
        if (!ReadUnsigned(*fields, field.name, into, error))
            return false;
    }
    // Corner points are plane units; anything beyond a float is corrupt.
    const double big = static_cast<double>(std::numeric_limits<float>::max());
    if (!ReadFloatRows(*fields, "Points", 3, -big, big, &read.Settings.Points[0][0], error))
        return false;
    if (!ReadFloatRows(*fields, "Colors", 4, 0.0, 1.0, &read.Settings.Colors[0][0], error))
        return false;
    const auto perspective = fields->find(kPerspectiveCorrect);
    if (perspective != fields->end()) {
        if (!perspective->is_boolean()) {
            *error = std::string("the field \"") + kPerspectiveCorrect + "\" must be true or false";
            return false;
        }
        read.Settings.PerspectiveCorrect = perspective->get<bool>() ? 1u : 0u;
    }

    *contents = std::move(read);
    return true;
}

namespace detail {
std::string AbsolutePath(const std::string &path)
{
    return AbsoluteFilePath(path);
}

std::string Folder(const std::string &path)
{
    return FolderOf(path);
}

std::string Reason(int code)
{
    return SystemReason(code);
}
} // namespace detail

} // namespace SurfaceFile
} // namespace skimbler
