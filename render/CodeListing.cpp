#include "render/CodeListing.h"

#include "render/SurfaceGeometry.h"
#include "surface/Surface.h"
#include "surface/ValueTable.h"


#include <QFileInfo>
#include <QStringList>

#include <cmath>

namespace CodeListing {

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

namespace {

constexpr std::uint32_t kLinear = 0x2601;
constexpr std::uint32_t kSrcAlpha = 0x0302;
constexpr std::uint32_t kOneMinusSrcAlpha = 0x0303;

QString EnumName(const std::vector<ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = ValueTable::NameOf(table, value);
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

QString OpenGl11Calls(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight, bool projective)
{
    const QString tex2d = QStringLiteral("GL_TEXTURE_2D");
    const bool mag = (surface.Flags & SURFACE_FLAG_MAG) != 0;
    const bool min = (surface.Flags & SURFACE_FLAG_MIN) != 0;
    const bool blend = (surface.Flags & SURFACE_FLAG_BLEND) != 0;
    const bool colours = (surface.Flags & SURFACE_FLAG_COLORS) != 0;

    QStringList lines;
    const QString imageName = imagePath.isEmpty() ? QStringLiteral("no image") : QFileInfo(imagePath).fileName();
    lines << QStringLiteral("/* Skimbler surface: %1, %2 x %3 */")
                 .arg(imageName)
                 .arg(surface.Width)
                 .arg(surface.Height);
    lines << QStringLiteral("/* Projection and plane of the Skimbler view (zoom 100%). */");
    lines << Call("glMatrixMode", {QStringLiteral("GL_PROJECTION")});
    lines << Call("glLoadIdentity", {});
    lines << Call("gluPerspective", {QStringLiteral("45.0"), QStringLiteral("4.0 / 3.0"), QStringLiteral("1.0"),
                                     QStringLiteral("5000.05615234375")});
    lines << Call("glMatrixMode", {QStringLiteral("GL_MODELVIEW")});
    lines << Call("glLoadIdentity", {});
    lines << Call("glTranslatef", {FloatLiteral(0.0f), FloatLiteral(0.0f), FloatLiteral(-2.4142136f)});
    lines << QString();
    lines << Call("glEnable", {tex2d});
    lines << Call("glBindTexture", {tex2d, QStringLiteral("texture /* %1 */").arg(imageName)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_MAG_FILTER"),
                                      mag ? EnumName(ValueTable::MagFilter(), surface.MagFilter)
                                          : EnumName(ValueTable::MagFilter(), kLinear)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_MIN_FILTER"),
                                      min ? EnumName(ValueTable::MinFilter(), surface.MinFilter)
                                          : EnumName(ValueTable::MinFilter(), kLinear)});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_WRAP_S"), QStringLiteral("GL_CLAMP")});
    lines << Call("glTexParameteri", {tex2d, QStringLiteral("GL_TEXTURE_WRAP_T"), QStringLiteral("GL_CLAMP")});
    lines << Call("glTexEnvi", {QStringLiteral("GL_TEXTURE_ENV"), QStringLiteral("GL_TEXTURE_ENV_MODE"),
                                QStringLiteral("GL_MODULATE")});
    lines << Call("glShadeModel", {QStringLiteral("GL_SMOOTH")});
    lines << Call("glEnable", {QStringLiteral("GL_BLEND")});
    lines << Call("glBlendFunc",
                  {EnumName(ValueTable::BlendFactor(), blend ? surface.SrcFactor : kSrcAlpha),
                   EnumName(ValueTable::BlendFactor(), blend ? surface.DestFactor : kOneMinusSrcAlpha)});
    lines << QString();

    float corners[4][3];
    SurfaceGeometry::Corners(surface, viewWidth, viewHeight, corners);
    float q[4] = {1, 1, 1, 1};
    const bool useQ = projective && SurfaceGeometry::ProjectiveQ(corners, q);
    const char *const cornerNames[4] = {"top left", "bottom left", "top right", "bottom right"};
    lines << Call("glBegin", {QStringLiteral("GL_TRIANGLE_STRIP")});
    if (!colours)
        lines << QStringLiteral("    ")
                + Call("glColor4f", {FloatLiteral(1), FloatLiteral(1), FloatLiteral(1), FloatLiteral(1)});
    for (int i = 0; i < 4; ++i) {
        lines << QStringLiteral("    /* %1 */").arg(QString::fromLatin1(cornerNames[i]));
        if (colours) {
            lines << QStringLiteral("    ")
                    + Call("glColor4f", {FloatLiteral(surface.Colors[i][0]), FloatLiteral(surface.Colors[i][1]),
                                         FloatLiteral(surface.Colors[i][2]), FloatLiteral(surface.Colors[i][3])});
        }
        const float s = SurfaceGeometry::TexCoords[i][0];
        const float t = SurfaceGeometry::TexCoords[i][1];
        if (useQ) {
            lines << QStringLiteral("    ")
                    + Call("glTexCoord4f", {FloatLiteral(s * q[i]), FloatLiteral(t * q[i]), FloatLiteral(0.0f),
                                            FloatLiteral(q[i])});
        } else {
            lines << QStringLiteral("    ") + Call("glTexCoord2f", {FloatLiteral(s), FloatLiteral(t)});
        }
        lines << QStringLiteral("    ")
                + Call("glVertex3f", {FloatLiteral(corners[i][0]), FloatLiteral(corners[i][1]),
                                      FloatLiteral(corners[i][2])});
    }
    lines << Call("glEnd", {});
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace CodeListing
