// skimbler-cli code --api vulkan: the C++ it prints compiles against the
// Vulkan headers as printed, for table rows that reach every part of it
// (blend on and off, mipmaps, a 24-bit border, projective coordinates).

#include "common/EditorPicture.h"
#include "common/RuntimeSurfaceCases.h"

#include "render/CodeListingVulkan.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace runtimecases;

class TestCodeVulkan : public QObject
{
    Q_OBJECT

private slots:
    void compiles_data()
    {
        QTest::addColumn<Case>("surface");
        const char *const names[] = {"blend GL_SRC_ALPHA GL_ONE_MINUS_SRC_ALPHA", "every flag off", "min linear mipmap linear", "rgb mag linear",
                                     "trapezoid projective"};
        for (const NamedCase &row : AllCases()) {
            for (const char *name : names) {
                if (row.name == name)
                    QTest::newRow(name) << row.surface;
            }
        }
    }

    void compiles()
    {
        QFETCH(Case, surface);
        QVERIFY(CodeListing::HasVulkanCode());
        const bool rgb = Images().at(surface.image).Components == 3;
        const QString code = CodeListing::VulkanCode(EditorPicture::State(surface), QStringLiteral("card.png"), rgb,
                                                     kWidth, kHeight);
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString path = directory.filePath(QStringLiteral("surface.cpp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(code.toUtf8());
        file.close();
        QProcess compiler;
        compiler.setProcessChannelMode(QProcess::MergedChannels);
        compiler.start(QStringLiteral(SKIMBLER_CXX),
                       {QStringLiteral("-std=c++17"), QStringLiteral("-fsyntax-only"), QStringLiteral("-Wall"),
                        QStringLiteral("-Wextra"), QStringLiteral("-Werror"),
                        QStringLiteral("-I") + QStringLiteral(SKIMBLER_VULKAN_INCLUDE), path});
        QVERIFY(compiler.waitForFinished(60000));
        QVERIFY2(compiler.exitStatus() == QProcess::NormalExit && compiler.exitCode() == 0,
                 compiler.readAll().constData());
    }
};

QTEST_GUILESS_MAIN(TestCodeVulkan)
#include "test_code_vulkan.moc"
