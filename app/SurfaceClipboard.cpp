#include "app/SurfaceClipboard.h"

#include "render/SurfaceDrawState.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"
#include "skimbler/Scene.h"

#include <skimbler/SurfaceFile.h>
#include <skimbler/ValueTable.h>

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringList>

#include <cmath>
#include <cstring>
#include <string>

namespace SurfaceFile = skimbler::SurfaceFile;
namespace ValueTable = skimbler::ValueTable;
using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;
using skimbler::SurfaceSettings;

namespace SurfaceClipboard {

const char *const MimeType = "application/x-skimbler-surface";

namespace {

// Settings are small; a bigger clipboard is not one of ours.
constexpr qsizetype kMaxSize = 1 << 20;

// The shortest C float literal that reads back as exactly `value`.
QString FloatLiteral(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.0f /* not a finite number */");
    QString text;
    for (int precision = 1; precision <= 9; ++precision) {
        text = QString::number(static_cast<double>(value), 'g', precision);
        if (text.toFloat() == value)
            break;
    }
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')))
        text += QStringLiteral(".0");
    return text + QLatin1Char('f');
}

// The shortest literal that reads back as exactly `value`, always with a point.
QString DoubleLiteral(double value)
{
    QString text = QString::number(value, 'g', 17);
    for (int precision = 1; precision < 17; ++precision) {
        const QString shorter = QString::number(value, 'g', precision);
        if (shorter.toDouble() == value) {
            text = shorter;
            break;
        }
    }
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')))
        text += QStringLiteral(".0");
    return text;
}

// Names of the state's fixed-function settings that no value table lists.
QString StateName(std::uint32_t value)
{
    switch (value) {
    case skimbler::gl::CLAMP: return QStringLiteral("GL_CLAMP");
    case skimbler::gl::REPEAT: return QStringLiteral("GL_REPEAT");
    case skimbler::gl::MODULATE: return QStringLiteral("GL_MODULATE");
    case skimbler::gl::TRIANGLE_STRIP: return QStringLiteral("GL_TRIANGLE_STRIP");
    default: return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
    }
}

QString EnumName(const std::vector<ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = QString::fromLatin1(ValueTable::NameOf(table, value));
    if (name != QLatin1String(ValueTable::Unknown))
        return name;
    return QStringLiteral("0x%1 /* not an OpenGL name */").arg(value, 4, 16, QLatin1Char('0'));
}

QString Call(const char *function, const QStringList &arguments)
{
    return QString::fromLatin1(function) + QLatin1Char('(') + arguments.join(QStringLiteral(", "))
        + QStringLiteral(");");
}

} // namespace

QString OpenGlCalls(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight, bool projective)
{
    namespace scene = skimbler::scene;
    const skimbler::DrawState state = ResolveSurface(surface, viewWidth, viewHeight, projective);
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
    lines << Call("gluPerspective", {DoubleLiteral(scene::FieldOfViewY), DoubleLiteral(scene::Aspect),
                                     DoubleLiteral(scene::NearPlane), DoubleLiteral(scene::FarPlane)});
    lines << Call("glMatrixMode", {QStringLiteral("GL_MODELVIEW")});
    lines << Call("glLoadIdentity", {});
    lines << Call("glTranslatef", {FloatLiteral(0.0f), FloatLiteral(0.0f), FloatLiteral(scene::PlaneZ)});
    lines << QString();
    lines << Call("glEnable", {tex2d});
    lines << Call("glBindTexture", {tex2d, QStringLiteral("texture /* %1 */").arg(imageName)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_MAG_FILTER"),
                                      EnumName(ValueTable::MagFilter(), state.MagFilter)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_MIN_FILTER"),
                                      EnumName(ValueTable::MinFilter(), state.MinFilter)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_WRAP_S"), StateName(state.WrapS)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_WRAP_T"), StateName(state.WrapT)});
    lines << Call("glTexEnvi", {QStringLiteral("GL_TEXTURE_ENV"), QStringLiteral("GL_TEXTURE_ENV_MODE"),
                                StateName(state.TextureEnvMode)});
    lines << Call("glShadeModel", {QStringLiteral("GL_SMOOTH")});
    if (state.Blend)
        lines << Call("glEnable", {QStringLiteral("GL_BLEND")});
    lines << Call("glBlendFunc", {EnumName(ValueTable::BlendFactor(), state.SrcFactor),
                                  EnumName(ValueTable::BlendFactor(), state.DestFactor)});
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

QMimeData *MakeMimeData(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight,
                        bool projective, QString *error)
{
    // The image's own folder as the base: the relative path is its name.
    const QString base = imagePath.isEmpty() ? QString() : QFileInfo(imagePath).absolutePath();
    std::string text;
    std::string why;
    if (!SurfaceFile::Serialise(surface, surface.Width, surface.Height, QFile::encodeName(imagePath).toStdString(),
                                QFile::encodeName(base).toStdString(), &text, &why)) {
        *error = QString::fromLocal8Bit(why.c_str());
        return nullptr;
    }
    const QByteArray json = QByteArray::fromStdString(text);
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(MimeType), json);
    mime->setData(QStringLiteral("application/json"), json);
    mime->setText(OpenGlCalls(surface, imagePath, viewWidth, viewHeight, projective));
    return mime;
}

bool Paste(const QMimeData *mime, CSkimblerDoc *document, QString *error, bool *changed)
{
    if (changed)
        *changed = false;
    if (!document) {
        *error = QStringLiteral("there is no document");
        return false;
    }
    QByteArray data;
    if (mime) {
        for (const QString &type : {QString::fromLatin1(MimeType), QStringLiteral("application/json")}) {
            if (mime->hasFormat(type)) {
                data = mime->data(type);
                break;
            }
        }
        // JSON copied as text from an editor or a saved surface file.
        if (data.isEmpty() && mime->hasText())
            data = mime->text().toUtf8();
    }
    if (data.trimmed().isEmpty()) {
        *error = QStringLiteral("the clipboard is empty");
        return false;
    }
    if (data.size() > kMaxSize) {
        *error = QStringLiteral("the clipboard holds too much to be surface settings");
        return false;
    }
    SurfaceFile::Contents contents;
    std::string why;
    if (!SurfaceFile::Parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), std::string(),
                            &contents, &why)) {
        *error = QStringLiteral("the clipboard does not hold a Skimbler surface's settings: %1")
                     .arg(QString::fromLocal8Bit(why.c_str()));
        return false;
    }

    SurfaceSettings after = document->Settings();
    after.ColorKey = contents.Settings.ColorKey;
    after.MagFilter = contents.Settings.MagFilter;
    after.MinFilter = contents.Settings.MinFilter;
    after.SrcFactor = contents.Settings.SrcFactor;
    after.DestFactor = contents.Settings.DestFactor;
    after.Flags = contents.Settings.Flags;
    std::memcpy(after.Points, contents.Settings.Points, sizeof after.Points);
    std::memcpy(after.Colors, contents.Settings.Colors, sizeof after.Colors);
    const bool differs = document->ChangeSettings(after, QStringLiteral("貼上"));
    if (changed)
        *changed = differs;
    return true;
}

} // namespace SurfaceClipboard
