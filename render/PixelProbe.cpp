#include "render/PixelProbe.h"

#include <skimbler/ValueTable.h>

namespace ValueTable = skimbler::ValueTable;

#include <QCoreApplication>
#include <QStringList>

namespace PixelProbe {

QString Describe(const Result &r)
{
    const auto rgba = [](const Colour &c) {
        return QStringLiteral("(%1, %2, %3, %4)")
            .arg(ToByte(c[0]), 3)
            .arg(ToByte(c[1]), 3)
            .arg(ToByte(c[2]), 3)
            .arg(ToByte(c[3]), 3);
    };
    const auto factorName = [](std::uint32_t factor) {
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::BlendFactor(), factor));
    };
    QStringList lines;
    lines << QCoreApplication::translate("PixelProbe", "視窗像素 %1, %2").arg(r.X).arg(r.Y);
    if (!r.OnSurface) {
        lines << QCoreApplication::translate("PixelProbe", "不在平面上; 背景 %1").arg(rgba(r.Destination));
        return lines.join(QLatin1Char('\n'));
    }
    lines << QCoreApplication::translate("PixelProbe", "紋理座標 u %1, v %2").arg(r.U, 0, 'f', 4).arg(r.V, 0, 'f', 4);
    if (r.HasTexture) {
        QString texel = QCoreApplication::translate("PixelProbe", "紋素 %1, %2").arg(r.Column).arg(r.Row);
        if (r.Level > 0)
            texel += QCoreApplication::translate("PixelProbe", " (第 %1 層)").arg(r.Level);
        lines << texel + QStringLiteral("  RGBA %1").arg(rgba(r.Texel));
    } else {
        lines << QCoreApplication::translate("PixelProbe", "紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色");
    }
    const auto filterName = [&r](std::uint32_t filter) {
        return QString::fromLatin1(
            ValueTable::NameOf(r.Magnified ? ValueTable::MagFilter() : ValueTable::MinFilter(), filter));
    };
    QString filtered = QCoreApplication::translate("PixelProbe", "取樣 %1 (%2)").arg(filterName(r.RequestedFilter), r.Magnified ? QCoreApplication::translate("PixelProbe", "放大")
                                                                                   : QCoreApplication::translate("PixelProbe", "縮小"));
    if (!r.FilterAccepted)
        filtered += QCoreApplication::translate("PixelProbe", " 不被 OpenGL 接受, 沿用 %1").arg(filterName(r.Filter));
    lines << filtered + QStringLiteral("  RGBA %1").arg(rgba(r.Filtered));
    lines << QCoreApplication::translate("PixelProbe", "角點顏色內插  RGBA %1").arg(rgba(r.CornerColour));
    lines << QCoreApplication::translate("PixelProbe", "來源 = 取樣 x 角點顏色  RGBA %1").arg(rgba(r.Source));
    QString blend = QCoreApplication::translate("PixelProbe", "混合 %1 x %2 + %3 x %4")
                        .arg(QCoreApplication::translate("PixelProbe", "來源"), factorName(r.RequestedSrcFactor), QCoreApplication::translate("PixelProbe", "目的"),
                             factorName(r.RequestedDestFactor));
    if (!r.BlendAccepted)
        blend += QCoreApplication::translate("PixelProbe", " 不被 OpenGL 接受, 沿用 %1 x %2")
                     .arg(factorName(r.SrcFactor), factorName(r.DestFactor));
    lines << blend;
    lines << QStringLiteral("  %1 x %2").arg(rgba(r.Source), rgba(r.SrcWeight));
    lines << QStringLiteral("+ %1 x %2").arg(rgba(r.Destination), rgba(r.DestWeight));
    lines << QStringLiteral("= %1").arg(rgba(r.Result));
    return lines.join(QLatin1Char('\n'));
}

} // namespace PixelProbe
