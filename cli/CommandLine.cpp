#include "cli/CommandLine.h"

#include "render/ExportDrawing.h"
#include "skimbler/Scene.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

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
    OptTrueShape = 128, OptBackground = 256, OptZoom = 512, OptPan = 1024
};

int OptionsOf(Invocation::Command command)
{
    switch (command) {
    case Invocation::Render:
        return OptOutput | OptSize | OptTransparent | OptProjective | OptForce | OptTrueShape | OptBackground | OptZoom
            | OptPan;
    case Invocation::Export:
        return OptOutput | OptSize | OptTransparent | OptProjective | OptFormat | OptForce | OptTrueShape | OptBackground
            | OptZoom | OptPan;
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

// A factor ("2.5") or a percentage ("250%"), inside the editor's range.
bool ParseZoom(const QString &text, float *zoom)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]+(\\.[0-9]+)?)(%?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    double value = match.captured(1).toDouble();
    if (!match.captured(3).isEmpty())
        value /= 100.0;
    // In single precision, as the view keeps it: "0.1" is MinZoom itself.
    const float factor = float(value);
    if (!(factor >= skimbler::scene::MinZoom && factor <= skimbler::scene::MaxZoom))
        return false;
    *zoom = factor;
    return true;
}

// "X,Y": pixels of the picture, each within one picture's largest side.
bool ParsePan(const QString &text, QPointF *pan)
{
    static const QRegularExpression pattern(QStringLiteral("^(-?[0-9]+(\\.[0-9]+)?),(-?[0-9]+(\\.[0-9]+)?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const double x = match.captured(1).toDouble();
    const double y = match.captured(3).toDouble();
    if (std::abs(x) > ExportDrawing::MaxSide || std::abs(y) > ExportDrawing::MaxSide)
        return false;
    *pan = QPointF(x, y);
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
        else if (name == QLatin1String("--zoom"))
            option = OptZoom;
        else if (name == QLatin1String("--pan"))
            option = OptPan;
        if (option == 0) {
            *error = QStringLiteral("unknown option \"%1\"").arg(name);
            return false;
        }
        if (!(allowed & option)) {
            *error = QStringLiteral("%1 does not take %2").arg(arguments.first(), name);
            return false;
        }
        const bool takesValue = option == OptOutput || option == OptSize || option == OptApi || option == OptFormat
            || option == OptBackground || option == OptZoom || option == OptPan;
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
        } else if (option == OptZoom) {
            if (!ParseZoom(value, &invocation->zoom)) {
                *error = QStringLiteral("--zoom must be a factor from %1 to %2 (or a percentage), not \"%3\"")
                             .arg(double(skimbler::scene::MinZoom))
                             .arg(double(skimbler::scene::MaxZoom))
                             .arg(value);
                return false;
            }
        } else if (option == OptPan) {
            if (!ParsePan(value, &invocation->pan)) {
                *error = QStringLiteral("--pan must be X,Y in pixels, each from -%1 to %1, not \"%2\"")
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
            invocation->format = Outputs::Find(value, Outputs::Kind::File);
            if (!invocation->format) {
                *error = QStringLiteral("--format must be %1, not \"%2\"").arg(Outputs::IdList(Outputs::Kind::File), value);
                return false;
            }
        } else {
            invocation->api = Outputs::Find(value, Outputs::Kind::Listing);
            if (!invocation->api) {
                *error = QStringLiteral("--api must be %1, not \"%2\"").arg(Outputs::IdList(Outputs::Kind::Listing), value);
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
    // One file: its suffix says the format. render writes PNG only, so
    // "x.jpg" or "x.skimbler" is a mistake, not PNG data there.
    const bool oneFile = !OutputIsFolder(*invocation);
    const Outputs::Output *named = Outputs::ForPath(invocation->output);
    if (invocation->command == Invocation::Render) {
        invocation->format = Outputs::Find(QStringLiteral("png"), Outputs::Kind::File);
        if (oneFile && named != invocation->format) {
            *error = QStringLiteral("-o \"%1\" must end in .png (or be a folder)").arg(invocation->output);
            return false;
        }
    }
    if (invocation->command == Invocation::Export) {
        if (oneFile && !named) {
            *error = QStringLiteral("-o \"%1\" must end in %2 (or be a folder)")
                         .arg(invocation->output, Outputs::SuffixList());
            return false;
        }
        if (oneFile && invocation->format && named != invocation->format) {
            *error = QStringLiteral("-o \"%1\" is not a %2 file (--format %3)")
                         .arg(invocation->output, QString::fromLatin1(invocation->format->name),
                              QString::fromLatin1(invocation->format->id));
            return false;
        }
        if (!invocation->format)
            invocation->format = named;
        if (!invocation->format) {
            *error = QStringLiteral("export into a folder needs --format %1").arg(Outputs::IdList(Outputs::Kind::File));
            return false;
        }
    }
    if (invocation->command == Invocation::Code && !invocation->api) {
        *error = QStringLiteral("code needs --api %1").arg(Outputs::IdList(Outputs::Kind::Listing));
        return false;
    }
    return true;
}

QString UsageText()
{
    // The formats and listings are the registry's, one line each.
    const auto lines = [](Outputs::Kind kind) {
        QString text;
        for (const Outputs::Output *output : Outputs::OfKind(kind)) {
            const QString suffixes =
                output->suffixes.isEmpty() ? QString() : QStringLiteral(" (.%1)").arg(output->suffixes.join(QStringLiteral(", .")));
            text += QStringLiteral("      %1  %2%3\n")
                        .arg(QString::fromLatin1(output->id).leftJustified(6), QString::fromLatin1(output->name), suffixes);
        }
        return text;
    };
    return QStringLiteral(
        "Usage: skimbler-cli COMMAND [OPTIONS] FILE...\n"
        "\n"
        "Works on Skimbler surface files (.skimbler) and on images, which stand for\n"
        "a new surface with the default settings. Needs no display.\n"
        "\n"
        "Commands:\n"
        "  render SURFACE... -o OUT   Draws each surface as File > Export Image does,\n"
        "                             at --zoom and --pan (1 and none unless given),\n"
        "                             and saves it as a PNG.\n"
        "                             With several surfaces OUT is a folder, and each\n"
        "                             picture is named after its surface.\n"
        "  export [--format F] SURFACE... -o OUT\n"
        "                             Writes each surface in the format F, or the one\n"
        "                             OUT's suffix names; OUT as for render:\n")
        + lines(Outputs::Kind::File)
        + QStringLiteral(
              "                             png is render's picture; gltf and glb hold the\n"
              "                             quad, texture, material, the editor's camera\n"
              "                             for --size and every setting in\n"
              "                             asset.extras.skimbler.\n"
              "  check FILE...              Opens each file as the editor does; one line on\n"
              "                             standard error for every file that cannot be used.\n"
              "  info SURFACE               The resolved draw state, as JSON.\n"
              "  code --api API SURFACE     Source code that draws the surface, for API:\n")
        + lines(Outputs::Kind::Listing)
        + QStringLiteral(
              "                             (gl11 is what Edit > Copy gives, gl33 Edit >\n"
              "                             Copy as shader code.)\n"
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
              "  --zoom Z            render, export: the view's zoom, a factor from 0.1\n"
              "                      to 100 or a percentage (250%), as the editor's\n"
              "                      zoom field; glTF takes it as its camera's field\n"
              "                      of view.\n"
              "  --pan X,Y           render, export: the picture shifted X pixels right\n"
              "                      and Y down, as a pan of the editor's view; glTF\n"
              "                      cannot keep it (a line on standard error says so).\n"
              "  --projective        Perspective-correct texture even where the surface\n"
              "                      has it off.\n"
              "  --api API           code: %1.\n"
              "  --format F          export: %2.\n"
              "  --force             render, export: write even over a file this call\n"
              "                      reads (an input, or the image an input surface shows).\n"
              "  -h, --help          This text.\n"
              "  --version           The program's version.\n"
              "\n"
              "Exit status: 0 when everything worked, 1 when some file could not be read,\n"
              "drawn or written, 2 when the command line is wrong (an unknown suffix of -o\n"
              "among them).\n"
              "render and export never write over their own inputs or their images without\n"
              "--force, and never into a named pipe or a device.\n")
              .arg(Outputs::IdList(Outputs::Kind::Listing), Outputs::IdList(Outputs::Kind::File));
}
