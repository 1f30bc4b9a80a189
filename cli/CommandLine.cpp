#include "cli/CommandLine.h"

#include "render/ExportDrawing.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct CommandName
{
    const char *name;
    Invocation::Command command;
};

constexpr CommandName kCommands[] = {
    {"render", Invocation::Render},
    {"check", Invocation::Check},
    {"info", Invocation::Info},
    {"code", Invocation::Code},
    {"export", Invocation::Export},
};

// Which options each command takes.
enum Option {
    OptOutput = 1, OptSize = 2, OptTransparent = 4, OptProjective = 8, OptApi = 16, OptFormat = 32, OptForce = 64,
    OptTrueShape = 128, OptBackground = 256
};

int OptionsOf(Invocation::Command command)
{
    switch (command) {
    case Invocation::Render: return OptOutput | OptSize | OptTransparent | OptProjective | OptForce | OptTrueShape | OptBackground;
    case Invocation::Export:
        return OptOutput | OptSize | OptTransparent | OptProjective | OptFormat | OptForce | OptTrueShape | OptBackground;
    case Invocation::Info: return OptSize | OptProjective | OptTrueShape;
    case Invocation::Code: return OptSize | OptProjective | OptApi | OptTrueShape;
    default: return 0;
    }
}

bool ParseSize(const QString &text, QSize *size)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})[xX]([0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 1 || height < 1 || width > ExportDrawing::MaxSide || height > ExportDrawing::MaxSide)
        return false;
    *size = QSize(width, height);
    return true;
}

} // namespace

bool OutputIsFolder(const Invocation &invocation)
{
    return invocation.inputs.size() > 1 || invocation.output.endsWith(QLatin1Char('/'))
        || QFileInfo(invocation.output).isDir();
}

bool ParseCommandLine(const QStringList &arguments, Invocation *invocation, QString *error)
{
    *invocation = Invocation();
    if (arguments.isEmpty()) {
        *error = QStringLiteral("no command given (try --help)");
        return false;
    }
    const QString first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        invocation->command = Invocation::Help;
        return true;
    }
    if (first == QLatin1String("--version")) {
        invocation->command = Invocation::Version;
        return true;
    }
    bool known = false;
    for (const CommandName &entry : kCommands) {
        if (first == QLatin1String(entry.name)) {
            invocation->command = entry.command;
            known = true;
        }
    }
    if (!known) {
        *error = first.startsWith(QLatin1Char('-'))
            ? QStringLiteral("unknown option \"%1\" (try --help)").arg(first)
            : QStringLiteral("unknown command \"%1\" (try --help)").arg(first);
        return false;
    }

    const int allowed = OptionsOf(invocation->command);
    bool onlyFiles = false;
    bool sawOutput = false;
    bool sawBackground = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString argument = arguments.at(i);
        if (onlyFiles || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            invocation->inputs.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            invocation->command = Invocation::Help;
            return true;
        }
        // "--name value" or "--name=value".
        QString name = argument;
        QString value;
        bool inlineValue = false;
        const int equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
            inlineValue = true;
        }
        int option = 0;
        if (name == QLatin1String("-o") || name == QLatin1String("--output"))
            option = OptOutput;
        else if (name == QLatin1String("--size"))
            option = OptSize;
        else if (name == QLatin1String("--transparent"))
            option = OptTransparent;
        else if (name == QLatin1String("--projective"))
            option = OptProjective;
        else if (name == QLatin1String("--api"))
            option = OptApi;
        else if (name == QLatin1String("--format"))
            option = OptFormat;
        else if (name == QLatin1String("--force"))
            option = OptForce;
        else if (name == QLatin1String("--true-shape"))
            option = OptTrueShape;
        else if (name == QLatin1String("--background"))
            option = OptBackground;
        if (option == 0) {
            *error = QStringLiteral("unknown option \"%1\"").arg(name);
            return false;
        }
        if (!(allowed & option)) {
            *error = QStringLiteral("%1 does not take %2").arg(arguments.first(), name);
            return false;
        }
        const bool takesValue = option == OptOutput || option == OptSize || option == OptApi || option == OptFormat
            || option == OptBackground;
        if (!takesValue) {
            if (inlineValue) {
                *error = QStringLiteral("%1 takes no value").arg(name);
                return false;
            }
            if (option == OptTransparent)
                invocation->transparent = true;
            else if (option == OptProjective)
                invocation->projective = true;
            else if (option == OptTrueShape)
                invocation->trueShape = true;
            else
                invocation->force = true;
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = arguments.at(++i);
        }
        if (option == OptOutput) {
            if (value.isEmpty()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            invocation->output = value;
            sawOutput = true;
        } else if (option == OptSize) {
            if (!ParseSize(value, &invocation->size)) {
                *error = QStringLiteral("--size must be WIDTHxHEIGHT, each from 1 to %1, not \"%2\"")
                             .arg(ExportDrawing::MaxSide)
                             .arg(value);
                return false;
            }
        } else if (option == OptBackground) {
            if (!ViewBackground::Parse(value, &invocation->background)) {
                *error = QStringLiteral("--background must be checker, dark, black or #rrggbb, not \"%1\"").arg(value);
                return false;
            }
            sawBackground = true;
        } else if (option == OptFormat) {
            if (value == QLatin1String("png"))
                invocation->format = Invocation::Png;
            else if (value == QLatin1String("gltf"))
                invocation->format = Invocation::Gltf;
            else if (value == QLatin1String("glb"))
                invocation->format = Invocation::Glb;
            else {
                *error = QStringLiteral("--format must be png, gltf or glb, not \"%1\"").arg(value);
                return false;
            }
        } else {
            if (value == QLatin1String("gl11"))
                invocation->api = Invocation::Gl11;
            else if (value == QLatin1String("gl33"))
                invocation->api = Invocation::Gl33;
            else if (value == QLatin1String("gles3"))
                invocation->api = Invocation::Gles3;
            else if (value == QLatin1String("webgl2"))
                invocation->api = Invocation::Webgl2;
            else if (value == QLatin1String("vulkan"))
                invocation->api = Invocation::Vulkan;
            else {
                *error = QStringLiteral("--api must be gl11, gl33, gles3, webgl2 or vulkan, not \"%1\"").arg(value);
                return false;
            }
        }
    }

    const QString command = arguments.first();
    if (invocation->inputs.isEmpty()) {
        *error = QStringLiteral("%1 needs a file").arg(command);
        return false;
    }
    if ((invocation->command == Invocation::Info || invocation->command == Invocation::Code)
        && invocation->inputs.size() > 1) {
        *error = QStringLiteral("%1 takes one surface, not %2").arg(command).arg(invocation->inputs.size());
        return false;
    }
    if (sawBackground && invocation->transparent) {
        *error = QStringLiteral("--background and --transparent exclude each other");
        return false;
    }
    if (invocation->command == Invocation::Render && !sawOutput) {
        *error = QStringLiteral("render needs -o OUT");
        return false;
    }
    if (invocation->command == Invocation::Export && !sawOutput) {
        *error = QStringLiteral("export needs -o OUT");
        return false;
    }
    if (invocation->command == Invocation::Export && invocation->format == Invocation::NoFormat) {
        *error = QStringLiteral("export needs --format png, gltf or glb");
        return false;
    }
    // One picture into a file: its suffix says the format, and PNG is the
    // only one, so "x.jpg" or "x.skimbler" is a mistake, not PNG data there.
    if (invocation->command == Invocation::Render && !OutputIsFolder(*invocation)
        && QFileInfo(invocation->output).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("-o \"%1\" must end in .png (or be a folder)").arg(invocation->output);
        return false;
    }
    if (invocation->command == Invocation::Code && invocation->api == Invocation::NoApi) {
        *error = QStringLiteral("code needs --api gl11, gl33, gles3, webgl2 or vulkan");
        return false;
    }
    return true;
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: skimbler-cli COMMAND [OPTIONS] FILE...\n"
        "\n"
        "Works on Skimbler surface files (.skimbler) and on images, which stand for\n"
        "a new surface with the default settings. Needs no display.\n"
        "\n"
        "Commands:\n"
        "  render SURFACE... -o OUT   Draws each surface as File > Export Image does,\n"
        "                             at zoom 1 without pan, and saves it as a PNG.\n"
        "                             With several surfaces OUT is a folder, and each\n"
        "                             picture is named after its surface.\n"
        "  export --format F SURFACE... -o OUT\n"
        "                             png: as render. gltf or glb: the surface as a\n"
        "                             glTF 2.0 asset (quad, texture, material, the\n"
        "                             editor's camera for --size, every setting in\n"
        "                             asset.extras.skimbler). OUT as for render.\n"
        "  check FILE...              Opens each file as the editor does; one line on\n"
        "                             standard error for every file that cannot be used.\n"
        "  info SURFACE               The resolved draw state, as JSON.\n"
        "  code --api API SURFACE     Source code that draws the surface: gl11 (the\n"
        "                             OpenGL 1.1 calls Edit > Copy gives), gl33 (GLSL\n"
        "                             330 core shaders, vertex data and state calls)\n"
        "                             gles3 (the same for OpenGL ES 3.0), webgl2 (a\n"
        "                             JavaScript function for a WebGL 2 page) or\n"
        "                             vulkan (SPIR-V and pipeline state as C++).\n"
        "\n"
        "Options:\n"
        "  -o, --output OUT    Where render and export write.\n"
        "  --size WxH          The window the surface is drawn in (default 800x600);\n"
        "                      the picture's size for render.\n"
        "  --transparent       render: no background, straight alpha.\n"
        "  --background B      render: checker (default), dark, black or #rrggbb,\n"
        "                      as View > Background.\n"
        "  --true-shape        The picture's own shape for the projection, as the\n"
        "                      editor at a target screen: a square stays square.\n"
        "                      Without it the fixed 4:3 view is stretched over\n"
        "                      --size, as in the editor's own window.\n"
        "  --projective        Perspective-correct texture even where the surface\n"
        "                      has it off.\n"
        "  --api API           code: gl11, gl33, gles3, webgl2 or vulkan.\n"
        "  --format F          export: png, gltf or glb.\n"
        "  --force             render, export: write even over a file this call\n"
        "                      reads (an input, or the image an input surface shows).\n"
        "  -h, --help          This text.\n"
        "  --version           The program's version.\n"
        "\n"
        "Exit status: 0 when everything worked, 1 when some file could not be read,\n"
        "drawn or written, 2 when the command line is wrong.\n"
        "render never writes over its own inputs or their images without --force,\n"
        "and never into a named pipe or a device.\n");
}
