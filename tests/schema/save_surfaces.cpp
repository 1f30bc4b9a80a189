// Saves surfaces the way the editor does (CSkimblerDoc::OnSaveDocument) into
// the folder given, for the schema test to validate: every sample surface
// without an image, and an opened picture in an awkwardly named folder,
// edited through the document's commands. Exit status 1 when a save fails.

#include "common/MessageRecorder.h"
#include "common/SurfaceFileSamples.h"
#include "common/TgaTestFiles.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_surfaces FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    // Only this run's files.
    folder.removeRecursively();
    MessageRecorder messages;
    QStringList failed;
    const auto save = [&](CSkimblerDoc &document, const QString &name) {
        if (!document.OnSaveDocument(folder.absoluteFilePath(name + QStringLiteral(".skimbler"))))
            failed << name;
    };
    if (!folder.mkpath(QStringLiteral("卡片 \"quoted\"")))
        failed << QStringLiteral("the folder");

    for (const SurfaceFileSamples::Sample &sample : SurfaceFileSamples::All()) {
        CSkimblerDoc document;
        messages.Listen(&document);
        document.OnRecoverDocument(sample.settings, QString(), QString());
        save(document, QString::fromUtf8(sample.name));
    }

    const QString image = folder.absoluteFilePath(QStringLiteral("卡片 \"quoted\"/card.tga"));
    TgaTestFiles::WriteSolid(image, 5, 3, qRgba(10, 20, 30, 128));
    CSkimblerDoc document;
    messages.Listen(&document);
    if (!DocumentLoader(&document).Open(image))
        failed << QStringLiteral("the picture");
    save(document, QStringLiteral("opened-picture"));
    skimbler::SurfaceSettings edited = document.Settings();
    edited.PerspectiveCorrect = 1;
    edited.Points[1][0] = -0.0f;
    edited.Points[2][2] = 1e-40f;
    edited.Colors[3][1] = 1.0f / 3.0f;
    edited.Flags = 0xffffffffu;
    edited.MagFilter = 0x2703;
    document.ChangeSettings(edited, QStringLiteral("Edit"));
    save(document, QStringLiteral("edited-picture"));

    for (const UserMessage &message : messages.messages)
        QTextStream(stderr) << message.text << '\n';
    if (!failed.isEmpty()) {
        QTextStream(stderr) << "not saved: " << failed.join(QStringLiteral(", ")) << '\n';
        return 1;
    }
    return 0;
}
