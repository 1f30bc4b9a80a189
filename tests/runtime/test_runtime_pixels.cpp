// The runtime's OpenGL 3.3 core frame against the editor's fixed-function
// frame, surface by surface, with no display: both contexts are EGL's.

#include "common/CliRunner.h"
#include "common/EditorPicture.h"
#include "common/RuntimeSurfaceCases.h"

#include "render/CodeListing.h"
#include "skimbler/PixelReference.h"
#include "skimbler/SurfaceFile.h"
#include "skimbler/SurfaceRenderer.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace skimbler;
using namespace runtimecases;

class TestRuntimePixels : public QObject
{
    Q_OBJECT

private:
    EditorPicture m_editor;
    HeadlessContext m_runtimeContext;
    HeadlessContext m_esContext;
    SurfaceRenderer m_runtime;
    SurfaceRenderer m_esRuntime;

    QTemporaryDir m_folder;
    // `skimbler-cli render --transparent`'s picture of each row, by name.
    std::map<QByteArray, QImage> m_exports;

    // Every row as a surface file and a TGA image, rendered by one call of
    // the command line (one context for all of them).
    void RenderTransparent()
    {
        QDir folder(m_folder.path());
        folder.mkpath(QStringLiteral("export/out"));
        folder.cd(QStringLiteral("export"));
        QStringList arguments{QStringLiteral("render")};
        std::vector<NamedCase> rows = AllCases();
        for (const NamedCase &row : SteepCases())
            rows.push_back(row);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Case &c = rows[i].surface;
            const Image &image = Images().at(c.image);
            const QString tga = folder.filePath(c.image + QStringLiteral(".tga"));
            if (!QFile::exists(tga)) {
                // Uncompressed true colour, rows from the bottom, BGR(A).
                QByteArray bytes(12, '\0');
                bytes[2] = 2;
                const char info[6] = {char(image.Width & 0xFF), char(image.Width >> 8), char(image.Height & 0xFF),
                                      char(image.Height >> 8), char(image.Components * 8),
                                      char(image.Components == 4 ? 8 : 0)};
                bytes.append(info, 6);
                for (std::size_t p = 0; p < image.Bytes.size(); p += std::size_t(image.Components)) {
                    bytes.append(char(image.Bytes[p + 2])).append(char(image.Bytes[p + 1])).append(char(image.Bytes[p]));
                    if (image.Components == 4)
                        bytes.append(char(image.Bytes[p + 3]));
                }
                QFile file(tga);
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            }
            SurfaceSettings settings = SettingsOf(c);
            settings.PerspectiveCorrect = c.projective ? 1 : 0;
            const QString name = folder.filePath(QStringLiteral("row%1.skimbler").arg(i));
            std::string error;
            QVERIFY2(SurfaceFile::Write(name.toStdString(), settings, std::uint32_t(image.Width),
                                        std::uint32_t(image.Height), tga.toStdString(), &error),
                     error.c_str());
            arguments << name;
        }
        arguments << QStringLiteral("-o") << folder.filePath(QStringLiteral("out")) + QLatin1Char('/')
                  << QStringLiteral("--size") << QStringLiteral("%1x%2").arg(kWidth).arg(kHeight)
                  << QStringLiteral("--transparent");
        const CliRun run = RunCli(arguments);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        for (std::size_t i = 0; i < rows.size(); ++i)
            m_exports[rows[i].name] = QImage(folder.filePath(QStringLiteral("out/row%1.png").arg(i)))
                                          .convertToFormat(QImage::Format_RGBA8888);
    }

    static void Matrices(const View &view, float projection[16], float model[16])
    {
        double matrix[16];
        ProjectionMatrix(view, matrix);
        for (int i = 0; i < 16; ++i)
            projection[i] = float(matrix[i]);
        SurfaceModelView(view, matrix);
        for (int i = 0; i < 16; ++i)
            model[i] = float(matrix[i]);
    }

    // `viaFile`: the settings come from a surface file saved with another
    // image size than the pixels already uploaded, whose size must stand.
    Pixels RuntimeFrame(const Case &c, HeadlessContext &context, SurfaceRenderer &runtime, bool viaFile = false,
                        bool matrices = false)
    {
        context.MakeCurrent();
        const Image &image = Images().at(c.image);
        std::string error;
        const bool uploaded = image.Components == 4
            ? runtime.UploadRgba(image.Bytes.data(), std::uint32_t(image.Width), std::uint32_t(image.Height), &error)
            : runtime.UploadRgb(image.Bytes.data(), std::uint32_t(image.Width), std::uint32_t(image.Height), &error);
        if (!uploaded)
            qWarning("upload: %s", error.c_str());
        if (viaFile) {
            const std::string path = m_folder.filePath(QStringLiteral("row.skimbler")).toStdString();
            if (!SurfaceFile::Write(path, SettingsOf(c), std::uint32_t(image.Width) + 3, std::uint32_t(image.Height) + 1,
                                    std::string(), &error)
                || !runtime.Open(path, &error))
                qWarning("surface file: %s", error.c_str());
        } else {
            runtime.SetSettings(SettingsOf(c));
        }
        ClearQuadrants();
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        if (matrices) {
            // The editor's camera as the caller's matrices.
            float projection[16], model[16];
            const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
            Matrices(view, projection, model);
            runtime.Draw(model, identity, projection, c.projective);
        } else {
            runtime.Draw(view, c.projective);
        }
        return context.ReadPixels();
    }

    // A nearest texel picked at a pixel whose centre falls on the line
    // between two texels: either is right, and the two sides round apart.
    static bool NearestTie(const PixelResult &pixel, const TexelPyramid &texels)
    {
        const bool nearest = pixel.Filter == gl::NEAREST || pixel.Filter == gl::NEAREST_MIPMAP_NEAREST
            || pixel.Filter == gl::NEAREST_MIPMAP_LINEAR;
        if (!nearest || !pixel.HasTexture)
            return false;
        for (std::size_t level = std::size_t(pixel.Level);
             level < texels.size() && level <= std::size_t(pixel.Level) + 1; ++level) {
            for (const double u : {pixel.U * texels[level].Width, pixel.V * texels[level].Height}) {
                const double fraction = u - std::floor(u);
                if (fraction < 1e-3 || fraction > 1 - 1e-3)
                    return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        std::string error;
        QVERIFY2(m_editor.Create(&error), error.c_str());
        QVERIFY2(m_runtimeContext.Create(HeadlessContext::Api::Core33, kWidth, kHeight, &error), error.c_str());
        QVERIFY2(m_runtime.Init(&HeadlessContext::GetProcAddress, ShaderApi::OpenGL33, &error), error.c_str());
        QVERIFY2(m_esContext.Create(HeadlessContext::Api::Es30, kWidth, kHeight, &error), error.c_str());
        QVERIFY2(m_esRuntime.Init(&HeadlessContext::GetProcAddress, ShaderApi::OpenGLES30, &error), error.c_str());
    }

    void cleanupTestCase()
    {
        m_runtimeContext.MakeCurrent();
        m_runtime.Release();
        m_esContext.MakeCurrent();
        m_esRuntime.Release();
    }

    void sameFrame_data() { AddCases(true); }

    void sameFrame()
    {
        QFETCH(Case, surface);
        const Pixels editor = m_editor.Frame(surface);
        const Pixels runtime = RuntimeFrame(surface, m_runtimeContext, m_runtime, true);
        QCOMPARE(runtime.size(), editor.size());
        QVERIFY(RuntimeFrame(surface, m_runtimeContext, m_runtime, false, true) == runtime);
        const Difference d = Compare(editor, runtime);
        QVERIFY2(d.worst <= 1, qPrintable(QStringLiteral("off by %1 at %2").arg(d.worst).arg(d.where)));
        // The surface was drawn at all: the frame is not the bare background
        // (unless the pair leaves the destination as it is).
        m_runtimeContext.MakeCurrent();
        ClearQuadrants();
        const Pixels background = m_runtimeContext.ReadPixels();
        QVERIFY(editor == background || background != runtime);
    }

    // The listing's vertices read back as exactly the floats drawn.
    void listingReadsBack_data() { sameFrame_data(); }
    void listingReadsBack()
    {
        QFETCH(Case, surface);
        const DrawState state = EditorPicture::State(surface);
        const QString listing = CodeListing::ShaderCode(skimbler::ShaderApi::OpenGL33, state, QString(), kWidth, kHeight);
        const int start = listing.indexOf(QStringLiteral("skimblerVertices["));
        const QString block = listing.mid(start, listing.indexOf(QStringLiteral("};"), start) - start);
        QStringList numbers;
        for (const QRegularExpressionMatch &match :
             QRegularExpression(QStringLiteral("(-?[0-9][0-9.e+-]*)f")).globalMatch(block))
            numbers << match.captured(1);
        QCOMPARE(numbers.size(), 44);
        for (int i = 0; i < 4; ++i) {
            const DrawVertex &v = state.Vertices[i];
            const float expected[11] = {v.Position[0], v.Position[1], v.Position[2], v.TexCoord[0], v.TexCoord[1],
                                        v.TexCoord[2], v.TexCoord[3], v.Colour[0], v.Colour[1], v.Colour[2], v.Colour[3]};
            for (int k = 0; k < 11; ++k)
                QVERIFY2(numbers[i * 11 + k].toFloat() == expected[k], qPrintable(numbers[i * 11 + k]));
        }
    }

    // From first principles, not from another drawing: a 2 x 2 image of
    // four colours over the whole view, nearest, copied. The image's first
    // row is the quad's bottom; a picture upside down on both sides fails.
    void knownTexelAtKnownPixel()
    {
        Case c;
        c.image = QStringLiteral("card2");
        c.colours = kWhite;
        c.mag = c.min = gl::NEAREST;
        c.src = gl::ONE;
        c.dst = gl::ZERO;
        const Image &image = Images().at(c.image);
        const Pixels frames[3] = {m_editor.Frame(c), RuntimeFrame(c, m_runtimeContext, m_runtime),
                                  RuntimeFrame(c, m_esContext, m_esRuntime)};
        // Frame rows from the bottom: (column, frame row) -> texel (column, image row).
        const int spots[4][4] = {{2, 2, 0, 0}, {kWidth - 3, 2, 1, 0}, {2, kHeight - 3, 0, 1},
                                 {kWidth - 3, kHeight - 3, 1, 1}};
        for (const Pixels &frame : frames) {
            for (const auto &spot : spots) {
                const std::size_t at = (std::size_t(spot[1]) * kWidth + std::size_t(spot[0])) * 4;
                const std::size_t texel = (std::size_t(spot[3]) * 2 + std::size_t(spot[2])) * 4;
                for (int k = 0; k < 4; ++k)
                    QCOMPARE(int(frame[at + std::size_t(k)]), int(image.Bytes[texel + std::size_t(k)]));
            }
        }
    }

    // The caller's own camera: turned about y and moved back, the corners
    // land where projection * view * model puts them.
    void callersCamera()
    {
        Case c;
        c.image = QStringLiteral("card2");
        c.points = kSmall;
        c.colours = kWhite;
        c.mag = c.min = gl::NEAREST;
        c.src = gl::ONE;
        c.dst = gl::ZERO;
        const Image &image = Images().at(c.image);
        m_runtimeContext.MakeCurrent();
        QVERIFY(m_runtime.UploadRgba(image.Bytes.data(), 2, 2, nullptr));
        m_runtime.SetSettings(SettingsOf(c));
        const double angle = 0.5, cosine = std::cos(angle), sine = std::sin(angle);
        // model: the surface 0.3 up; view: turned 0.5 rad about y, 3 units back.
        const float model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0.3f, 0, 1};
        const float view[16] = {float(cosine), 0, float(-sine), 0, 0, 1, 0, 0, float(sine), 0, float(cosine), 0,
                                0, 0, -3, 1};
        const float f = 1.0f / std::tan(0.6f), aspect = float(kWidth) / kHeight, n = 0.5f, far = 50.0f;
        const float projection[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1,
                                      0, 0, 2 * far * n / (n - far), 0};
        ClearQuadrants();
        m_runtime.Draw(model, view, projection);
        const Pixels frame = m_runtimeContext.ReadPixels();
        auto apply = [](const float m[16], const double in[4], double out[4]) {
            for (int r = 0; r < 4; ++r)
                out[r] = m[r] * in[0] + m[4 + r] * in[1] + m[8 + r] * in[2] + m[12 + r] * in[3];
        };
        double centre[2] = {0, 0}, corners[4][2];
        for (int i = 0; i < 4; ++i) {
            const double p[4] = {c.points[i][0], c.points[i][1], c.points[i][2], 1};
            double world[4], eye[4], clip[4];
            apply(model, p, world);
            apply(view, world, eye);
            apply(projection, eye, clip);
            corners[i][0] = (clip[0] / clip[3] + 1) * 0.5 * kWidth;
            corners[i][1] = (clip[1] / clip[3] + 1) * 0.5 * kHeight;
            centre[0] += corners[i][0] / 4;
            centre[1] += corners[i][1] / 4;
        }
        auto texelAt = [&](double x, double y, int column, int row) {
            const std::size_t at = (std::size_t(y) * kWidth + std::size_t(x)) * 4;
            return std::equal(&frame[at], &frame[at] + 4, &image.Bytes[(std::size_t(row) * 2 + std::size_t(column)) * 4]);
        };
        const int texel[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};  // strip order: top left, bottom left, ...
        for (int i = 0; i < 4; ++i) {
            const double dx = centre[0] - corners[i][0], dy = centre[1] - corners[i][1];
            const double length = std::hypot(dx, dy);
            // Three pixels inside the corner: its texel; three outside: untouched.
            QVERIFY2(texelAt(corners[i][0] + 3 * dx / length, corners[i][1] + 3 * dy / length, texel[i][0], texel[i][1]),
                     qPrintable(QStringLiteral("corner %1 at (%2, %3)").arg(i).arg(corners[i][0]).arg(corners[i][1])));
            QVERIFY(!texelAt(corners[i][0] - 3 * dx / length, corners[i][1] - 3 * dy / length, texel[i][0], texel[i][1]));
        }
    }

    // Straight alpha through the public API, against `render --transparent`:
    // the straight passes on transparent black, then StraightenAlpha.
    void straightAlphaIsRender_data() { sameFrame_data(); }
    void straightAlphaIsRender()
    {
        QFETCH(Case, surface);
        if (m_exports.empty())
            RenderTransparent();
        const QImage exported = m_exports[QTest::currentDataTag()];
        QCOMPARE(exported.size(), QSize(kWidth, kHeight));
        m_runtimeContext.MakeCurrent();
        const Image &image = Images().at(surface.image);
        QVERIFY(image.Components == 4 ? m_runtime.UploadRgba(image.Bytes.data(), std::uint32_t(image.Width),
                                                             std::uint32_t(image.Height), nullptr)
                                      : m_runtime.UploadRgb(image.Bytes.data(), std::uint32_t(image.Width),
                                                            std::uint32_t(image.Height), nullptr));
        m_runtime.SetSettings(SettingsOf(surface));
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        m_runtime.SetAlphaOutput(SurfaceRenderer::AlphaOutput::StraightPasses);
        m_runtime.Draw(view, surface.projective);
        m_runtime.SetAlphaOutput(SurfaceRenderer::AlphaOutput::Blended);
        Pixels runtime = m_runtimeContext.ReadPixels();
        StraightenAlpha(m_runtime.Resolved(view, surface.projective), runtime.data(), runtime.size() / 4);
        Pixels expected;
        for (int y = kHeight - 1; y >= 0; --y)
            expected.insert(expected.end(), exported.constScanLine(y), exported.constScanLine(y) + kWidth * 4);
        const Difference d = Compare(expected, runtime);
        QVERIFY2(d.worst == 0, qPrintable(QStringLiteral("off by %1 at %2").arg(d.worst).arg(d.where)));
    }

    // OpenGL ES has no border clamp: the shader takes the border's share out
    // itself. Mesa filters that shader in floating point where the
    // fixed-function frame uses 8-bit weights, hence 2 levels; a pair that
    // weighs the source by its own colour or alpha squares the filter's
    // rounding: 3 levels there. The level of detail the shader works out
    // for the border is its own: where it lands on the other side of the
    // mag/min switch or of a mipmap level than the driver's, an edge pixel
    // mixes in more or less border. That shows at the quad's outline only,
    // held here by the min filter in force, as measured on the table.
    void sameFrameOnEs_data() { sameFrame_data(); }
    void sameFrameOnEs()
    {
        QFETCH(Case, surface);
        const Pixels editor = m_editor.Frame(surface);
        const Pixels runtime = RuntimeFrame(surface, m_esContext, m_esRuntime);
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        const DrawState state = EditorPicture::State(surface);
        const std::vector<bool> edge = NearOutline(state, view, 1.0);
        auto atEdge = [&edge](int x, int y) { return bool(edge[std::size_t(y) * kWidth + std::size_t(x)]); };
        const Difference inside = Compare(editor, runtime, atEdge);
        const Difference outline = Compare(editor, runtime, [&](int x, int y) { return !atEdge(x, y); });
        QVERIFY2(inside.overThree <= 24 && inside.worst <= 12,
                 qPrintable(QStringLiteral("%1 values off by more than 3, worst %2 at %3")
                                .arg(inside.overThree)
                                .arg(inside.worst)
                                .arg(inside.where)));
        const std::map<std::uint32_t, int> edgeBounds{{gl::NEAREST_MIPMAP_NEAREST, 40},
                                                      {gl::NEAREST_MIPMAP_LINEAR, 40},
                                                      {gl::LINEAR_MIPMAP_NEAREST, 22},
                                                      {gl::LINEAR_MIPMAP_LINEAR, 10}};
        const auto own = edgeBounds.find(state.MinFilter);
        const int edgeBound = own != edgeBounds.end() ? own->second : 3;
        QVERIFY2(outline.worst <= edgeBound,
                 qPrintable(QStringLiteral("at the edge off by %1 at %2").arg(outline.worst).arg(outline.where)));
    }
    // The pixel probe works each pixel out on the processor from the
    // editor's own texture levels: it must give what the editor drew.
    void probeGivesFrame_data() { AddCases(); }
    void probeGivesFrame()
    {
        QFETCH(Case, surface);
        const Pixels editor = m_editor.Frame(surface);
        const DrawState state = EditorPicture::State(surface);
        const TexelPyramid texels = m_editor.Texels(surface.image);
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        Pixels probed = editor;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const float *below = kQuadrantColours[(x >= kWidth / 2 ? 1 : 0) + (y >= kHeight / 2 ? 2 : 0)];
                Colour destination{};
                for (int k = 0; k < 4; ++k)
                    destination[std::size_t(k)] = ToByte(below[k]) / 255.0;
                const PixelResult pixel = PixelAt(state, view, texels, destination, x, kHeight - 1 - y);
                if (!pixel.OnSurface || NearestTie(pixel, texels))
                    continue;
                for (int k = 0; k < 4; ++k)
                    probed[(std::size_t(y) * kWidth + std::size_t(x)) * 4 + std::size_t(k)]
                        = std::uint8_t(ToByte(pixel.Result[std::size_t(k)]));
            }
        }
        const Difference d = Compare(editor, probed);
        // The driver's level of detail is its own approximation; a filter
        // that reads mipmaps may lean more on one level than the probe.
        // Elsewhere the editor's blend rounds each product to 8 bits: a pair
        // that weighs the source by itself ends up to 3 levels away.
        const int bound = state.NeedsMipmaps ? 24 : 3;
        QVERIFY2(d.worst <= bound, qPrintable(QStringLiteral("off by %1 at %2").arg(d.worst).arg(d.where)));
    }
};

QTEST_GUILESS_MAIN(TestRuntimePixels)
#include "test_runtime_pixels.moc"
