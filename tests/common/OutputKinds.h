#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// What kind of file `bytes` is, judged by its content alone: "png", "gltf"
// (a JSON glTF 2.0 document), "glb" (binary glTF 2.0), or "" for none of
// them. The editor's and the command line's export tests both check that
// each suffix gets bytes of its own kind.
inline QString OutputKindOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    if (bytes.startsWith("glTF") && bytes.size() >= 12 && bytes.at(4) == 2)
        return QStringLiteral("glb");
    const QJsonDocument json = QJsonDocument::fromJson(bytes);
    if (json.isObject() && json[QStringLiteral("asset")][QStringLiteral("version")] == QStringLiteral("2.0"))
        return QStringLiteral("gltf");
    return QString();
}
