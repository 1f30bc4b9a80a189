// The TGA loader: every failure message under its caption, the decodes, the
// block reader against the byte-at-a-time decoder, ImageMagick's files and
// the seed corpus.

#include "StepwiseTgaDecoder.h"
#include "common/TgaTestFiles.h"

#include "surface/TgaImage.h"
#include "surface/TgaLoader.h"
#include "surface/UserMessage.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

using namespace TgaTestFiles;

namespace {

struct Loaded
{
    bool ok = false;
    QByteArray pixels;
    TgaImage image;
    QList<UserMessage> messages;
};

int OpenFileCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

Loaded LoadPath(const QString &path)
{
    Loaded loaded;
    loaded.image.Pixels = reinterpret_cast<std::uint8_t *>(&loaded);  // must not survive a failure
    UserMessage message;
    loaded.ok = LoadTga(&loaded.image, QFile::encodeName(path).constData(), &message);
    if (!loaded.ok)
        loaded.messages.append(message);
    if (loaded.ok) {
        const qsizetype size = qsizetype(loaded.image.Width) * loaded.image.Height * (loaded.image.BitsPerPixel / 8);
        loaded.pixels = QByteArray(reinterpret_cast<const char *>(loaded.image.Pixels), size);
        std::free(loaded.image.Pixels);
    }
    return loaded;
}

QString StepwiseMessage(const StepwiseResult &result)
{
    return QString::fromStdString(result.message);
}

QByteArray StepwisePixels(const StepwiseResult &result)
{
    return QByteArray(reinterpret_cast<const char *>(result.pixels.data()), qsizetype(result.pixels.size()));
}

// Runs LoadTga on `path` and checks it against the stepwise decoder.
void CompareWithStepwise(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const StepwiseResult expected = StepwiseDecodeTga(name.constData());
    const Loaded loaded = LoadPath(path);
    QCOMPARE(loaded.ok, expected.ok);
    if (expected.ok) {
        QVERIFY(loaded.messages.isEmpty());
        QCOMPARE(loaded.image.Width, expected.width);
        QCOMPARE(loaded.image.Height, expected.height);
        QCOMPARE(loaded.pixels, StepwisePixels(expected));
    } else {
        QCOMPARE(loaded.messages.size(), 1);
        QCOMPARE(loaded.messages.first().text, StepwiseMessage(expected));
        QCOMPARE(loaded.messages.first().caption, QString::fromStdString(expected.caption));
        QVERIFY(loaded.image.Pixels == nullptr);
    }
}

QString SeedDirectory()
{
    return QString::fromUtf8(SKIMBLER_TGA_SEED_DIR);
}

} // namespace

class TestTgaLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void notOpened_data();
    void notOpened();
    void failures_data();
    void failures();
    void decodes_data();
    void decodes();
    void originCorners_data();
    void originCorners();
    void generatedImages_data();
    void generatedImages();
    void everyTruncationMatchesStepwise_data();
    void everyTruncationMatchesStepwise();
    void randomMutationsMatchStepwise();
    void streamWithoutLength_data();
    void streamWithoutLength();
    void hugeClaimsStaySmall_data();
    void hugeClaimsStaySmall();
    void imageMagickFiles_data();
    void imageMagickFiles();
    void seedCorpus_data();
    void seedCorpus();
    void sampleCardRightWayUp();

private:
    QString Path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestTgaLoader::notOpened_data()
{
    QTest::addColumn<QString>("path");
    QVERIFY(::mkfifo(QFile::encodeName(Path(QStringLiteral("pipe.tga"))).constData(), 0600) == 0);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.tga")));
    QVERIFY(QFile::link(Path(QStringLiteral("pipe.tga")), Path(QStringLiteral("link to pipe.tga"))));
    QTest::newRow("missing") << Path(QStringLiteral("no such file.tga"));
    // Opening a pipe without a writer would wait for ever.
    QTest::newRow("named pipe") << Path(QStringLiteral("pipe.tga"));
    QTest::newRow("link to a named pipe") << Path(QStringLiteral("link to pipe.tga"));
    QTest::newRow("folder") << Path(QStringLiteral("folder.tga"));
    QTest::newRow("endless device") << QStringLiteral("/dev/zero");
}

void TestTgaLoader::notOpened()
{
    QFETCH(QString, path);
    const int filesBefore = OpenFileCount();
    ::alarm(30);  // a blocked open ends the test instead of hanging it
    const Loaded loaded = LoadPath(path);
    ::alarm(0);
    QCOMPARE(OpenFileCount(), filesBefore);
    QVERIFY(!loaded.ok);
    QVERIFY(loaded.image.Pixels == nullptr);
    QCOMPARE(loaded.messages.size(), 1);
    QCOMPARE(loaded.messages.first().text, QStringLiteral("Could not open texture file"));
    QCOMPARE(loaded.messages.first().caption, QStringLiteral("ERROR"));
}

void TestTgaLoader::failures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");

    const QString error = QStringLiteral("ERROR");
    const QString header = QStringLiteral("Could not read file header");
    const QString type = QStringLiteral("TGA file be type 2 or type 10 ");
    const QString invalid = QStringLiteral("Invalid Image");
    const QString info = QStringLiteral("Could not read info header");
    const QString texture = QStringLiteral("Invalid texture information");
    const QString data = QStringLiteral("Could not read image data");
    const QString rleHeader = QStringLiteral("Could not read RLE header");
    const QString fromFile = QStringLiteral("Could not read from file");
    const QString tooMany = QStringLiteral("Too many pixels read");
    const QByteArray pixel4 = Bytes({1, 2, 3, 4});
    const QByteArray pixel3 = Bytes({1, 2, 3});

    QTest::newRow("empty file") << QByteArray() << header << error;
    QTest::newRow("11 header bytes") << Header(2).left(11) << header << error;

    for (int t : {0, 1, 3, 9, 11, 255}) {
        QTest::addRow("image type %d", t) << Header(std::uint8_t(t)) + Info(1, 1, 24) + pixel3 << type << invalid;
    }
    // Every byte of the header but the type must be zero.
    for (int at : {0, 1, 3, 5, 7, 8, 9, 10, 11}) {
        QByteArray bytes = Header(2) + Info(1, 1, 24) + pixel3;
        bytes[at] = 1;
        QTest::addRow("header byte %d set", at) << bytes << type << invalid;
    }

    QTest::newRow("header only") << Header(2) << info << error;
    QTest::newRow("5 info bytes") << Header(10) + Info(1, 1, 24).left(5) << info << error;

    QTest::newRow("width 0") << Header(2) + Info(0, 1, 24) + pixel3 << texture << error;
    QTest::newRow("height 0") << Header(10) + Info(1, 0, 32) + Run(1, pixel4) << texture << error;
    for (int depth : {0, 8, 15, 16, 23, 25, 31, 33, 255}) {
        QTest::addRow("depth %d", depth) << Header(2) + Info(1, 1, unsigned(depth)) + pixel4 << texture << error;
    }

    QTest::newRow("raw: no pixels") << Header(2) + Info(2, 2, 24) << data << error;
    QTest::newRow("raw: one byte short") << Header(2) + Info(2, 2, 32) + PixelBytes(4, 4).left(15) << data << error;
    QTest::newRow("raw: 65535 x 65535 in 10 bytes") << Header(2) + Info(65535, 65535, 32) + PixelBytes(10, 1) << data << error;

    QTest::newRow("rle: no packets") << Header(10) + Info(2, 2, 24) << rleHeader << error;
    QTest::newRow("rle: packets end early") << Header(10) + Info(4, 4, 24) + Run(8, pixel3) + Raw(PixelBytes(7, 3), 3)
                                            << rleHeader << error;
    QTest::newRow("rle: raw pixel cut") << Header(10) + Info(4, 4, 24) + Raw(PixelBytes(5, 3), 3).left(1 + 4 * 3 + 2)
                                        << data << error;
    QTest::newRow("rle: raw packet without pixels") << Header(10) + Info(4, 4, 32) + Bytes({3}) << data << error;
    QTest::newRow("rle: run pixel cut") << Header(10) + Info(4, 4, 32) + Run(5, pixel4).left(4) << fromFile << error;
    QTest::newRow("rle: run without pixel") << Header(10) + Info(4, 4, 24) + Bytes({0x80}) << fromFile << error;
    QTest::newRow("rle: run of 128 in 10 x 10") << Header(10) + Info(10, 10, 32) + Run(128, pixel4) << tooMany << error;
    QTest::newRow("rle: second run past end") << Header(10) + Info(3, 1, 24) + Run(2, pixel3) + Run(2, pixel3)
                                              << tooMany << error;
    // A raw packet reads each pixel before it looks for room: the pixel
    // one too many decides between the two messages.
    QTest::newRow("rle: raw past end, pixel after end complete")
        << Header(10) + Info(2, 2, 24) + Raw(PixelBytes(5, 3), 3).left(1 + 5 * 3) << tooMany << error;
    QTest::newRow("rle: raw past end, pixel after end cut")
        << Header(10) + Info(2, 2, 24) + Raw(PixelBytes(6, 3), 3).left(1 + 4 * 3 + 2) << data << error;
    QTest::newRow("rle: raw past end, cut inside the image")
        << Header(10) + Info(2, 2, 24) + Raw(PixelBytes(6, 3), 3).left(1 + 2 * 3 + 1) << data << error;
    QTest::newRow("rle: run past end, pixel cut") << Header(10) + Info(2, 2, 32) + Run(9, pixel4).left(3) << fromFile
                                                  << error;

    QTest::newRow("rle huge: runs then end") << Header(10) + Info(65535, 65535, 32) + Run(128, pixel4).repeated(50)
                                             << rleHeader << error;
    QTest::newRow("rle huge: raw cut") << Header(10) + Info(65535, 65535, 24) + Run(128, pixel3) + Raw(PixelBytes(9, 3), 3).left(20)
                                       << data << error;
    QTest::newRow("rle huge: run cut") << Header(10) + Info(65535, 65535, 32) + Run(128, pixel4) + Run(3, pixel4).left(2)
                                       << fromFile << error;
    // 4 pixels encodable at most, 4 claimed: allocated at once, then too many.
    QTest::newRow("rle: bound exact, overrun") << Header(10) + Info(4, 1, 32) + Run(5, pixel4) << tooMany << error;
}

void TestTgaLoader::failures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, caption);

    const QString path = Path(QStringLiteral("failure.tga"));
    QVERIFY(Write(path, bytes));
    const int filesBefore = OpenFileCount();
    const Loaded loaded = LoadPath(path);
    QCOMPARE(OpenFileCount(), filesBefore);

    QVERIFY(!loaded.ok);
    QVERIFY(loaded.image.Pixels == nullptr);
    QCOMPARE(loaded.messages.size(), 1);
    QCOMPARE(loaded.messages.first().text, text);
    QCOMPARE(loaded.messages.first().caption, caption);
    QCOMPARE(loaded.messages.first().icon, UserMessage::NoIcon);

    // The loader must agree with the stepwise reading of the same file.
    CompareWithStepwise(path);
}

void TestTgaLoader::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<unsigned>("height");
    QTest::addColumn<unsigned>("format");
    QTest::addColumn<QByteArray>("pixels");

    QTest::newRow("raw 1x1 24-bit") << Header(2) + Info(1, 1, 24) + Bytes({0x10, 0x20, 0x30}) << 1u << 1u
                                    << unsigned(GL_RGB) << Bytes({0x30, 0x20, 0x10});
    QTest::newRow("raw 2x1 32-bit") << Header(2) + Info(2, 1, 32) + Bytes({1, 2, 3, 4, 5, 6, 7, 8}) << 2u << 1u
                                    << unsigned(GL_RGBA) << Bytes({3, 2, 1, 4, 7, 6, 5, 8});
    QTest::newRow("rle 2x2 32-bit, one run") << Header(10) + Info(2, 2, 32) + Bytes({0x83, 1, 2, 3, 4}) << 2u << 2u
                                             << unsigned(GL_RGBA) << Bytes({3, 2, 1, 4}).repeated(4);
    QTest::newRow("rle 16x8, one run of 128") << Header(10) + Info(16, 8, 32) + Bytes({0xFF, 1, 2, 3, 4}) << 16u << 8u
                                              << unsigned(GL_RGBA) << Bytes({3, 2, 1, 4}).repeated(128);
    QTest::newRow("rle 3x1 24-bit, raw then run")
        << Header(10) + Info(3, 1, 24) + Bytes({0x00, 1, 2, 3, 0x81, 4, 5, 6}) << 3u << 1u << unsigned(GL_RGB)
        << Bytes({3, 2, 1, 6, 5, 4, 6, 5, 4});
    QTest::newRow("raw, footer after the pixels")
        << Header(2) + Info(1, 1, 24) + Bytes({7, 8, 9}) + QByteArray("TRUEVISION-XFILE.\0", 18) << 1u << 1u
        << unsigned(GL_RGB) << Bytes({9, 8, 7});
    QTest::newRow("rle, bytes after the last packet")
        << Header(10) + Info(1, 1, 32) + Bytes({0x80, 1, 2, 3, 4, 0xFF, 0xFF}) << 1u << 1u << unsigned(GL_RGBA)
        << Bytes({3, 2, 1, 4});
    QTest::newRow("descriptor bits ignored") << Header(2) + Info(1, 1, 32, 0x28) + Bytes({1, 2, 3, 4}) << 1u << 1u
                                             << unsigned(GL_RGBA) << Bytes({3, 2, 1, 4});
}

void TestTgaLoader::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(unsigned, width);
    QFETCH(unsigned, height);
    QFETCH(unsigned, format);
    QFETCH(QByteArray, pixels);

    const QString path = Path(QStringLiteral("decode.tga"));
    QVERIFY(Write(path, bytes));
    const int filesBefore = OpenFileCount();
    const Loaded loaded = LoadPath(path);
    QCOMPARE(OpenFileCount(), filesBefore);
    QVERIFY(loaded.messages.isEmpty());
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.image.Width, width);
    QCOMPARE(loaded.image.Height, height);
    QCOMPARE(loaded.image.Format, format);
    QCOMPARE(loaded.image.BitsPerPixel, format == GL_RGB ? 24u : 32u);
    QCOMPARE(loaded.image.Texture, 0u);
    QCOMPARE(loaded.pixels, pixels);
}

void TestTgaLoader::originCorners_data()
{
    QTest::addColumn<int>("descriptor");
    QTest::addColumn<bool>("rle");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<unsigned>("height");

    QTest::newRow("top first, raw 24-bit") << 0x20 << false << 3 << 5u << 4u;
    QTest::newRow("top first, rle 32-bit") << 0x20 << true << 4 << 9u << 7u;
    QTest::newRow("top first, odd rows") << 0x20 << false << 4 << 3u << 5u;
    QTest::newRow("right first, raw 32-bit") << 0x10 << false << 4 << 6u << 3u;
    QTest::newRow("right first, rle 24-bit") << 0x10 << true << 3 << 7u << 2u;
    QTest::newRow("top right, rle 24-bit") << 0x30 << true << 3 << 8u << 5u;
    QTest::newRow("top right, raw 32-bit, alpha bits") << 0x38 << false << 4 << 4u << 4u;
    QTest::newRow("top first, one column") << 0x20 << true << 3 << 1u << 6u;
    QTest::newRow("right first, one row") << 0x10 << false << 3 << 6u << 1u;
    // Larger than one read block, so the turn runs over the whole image.
    QTest::newRow("top right, raw, several blocks") << 0x30 << false << 3 << 333u << 257u;
    QTest::newRow("top right, rle, several blocks") << 0x30 << true << 4 << 333u << 257u;
    QTest::newRow("attribute bits only") << 0x08 << false << 4 << 5u << 3u;
}

// A file starting at another corner loads the same texels as its twin
// stored bottom row first, left to right.
void TestTgaLoader::originCorners()
{
    QFETCH(int, descriptor);
    QFETCH(bool, rle);
    QFETCH(int, pixelSize);
    QFETCH(unsigned, width);
    QFETCH(unsigned, height);

    const Generated generated = Generate(width, height, pixelSize, width * 7 + height);
    QByteArray file = rle ? generated.rle : generated.raw;
    file[17] = static_cast<char>(descriptor);

    // The twin holds the same file pixels moved to where a bottom-left file
    // keeps them.
    const QByteArray body = generated.raw.mid(18);
    QByteArray twinBody(body.size(), '\0');
    const bool topFirst = descriptor & 0x20, rightFirst = descriptor & 0x10;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned row = topFirst ? height - 1 - y : y;
            const unsigned column = rightFirst ? width - 1 - x : x;
            twinBody.replace(qsizetype(row * width + column) * pixelSize, pixelSize,
                             body.mid(qsizetype(y * width + x) * pixelSize, pixelSize));
        }
    }
    const QByteArray twin = Header(2) + Info(width, height, unsigned(pixelSize * 8)) + twinBody;

    const QString path = Path(QStringLiteral("corner.tga")), twinPath = Path(QStringLiteral("twin.tga"));
    QVERIFY(Write(path, file));
    QVERIFY(Write(twinPath, twin));
    const Loaded loaded = LoadPath(path);
    const Loaded expected = LoadPath(twinPath);
    QVERIFY(loaded.ok && expected.ok);
    QVERIFY(loaded.messages.isEmpty());
    QVERIFY(loaded.pixels == expected.pixels);
    // Only the corner bits move anything.
    QCOMPARE(loaded.pixels == generated.pixels, (descriptor & 0x30) == 0 || (width == 1 && !topFirst)
                                                    || (height == 1 && !rightFirst));
    CompareWithStepwise(path);
}

void TestTgaLoader::generatedImages_data()
{
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<unsigned>("height");
    QTest::addColumn<int>("pixelSize");

    // Widths around the 8-pixel swap blocks, and images that span several
    // read blocks.
    const unsigned sizes[][2] = {{1, 1}, {7, 1}, {8, 1}, {9, 3}, {17, 5}, {5, 13}, {333, 257}, {1024, 300}};
    for (int pixelSize : {3, 4}) {
        for (const auto &size : sizes) {
            QTest::addRow("%ux%u %d-bit", size[0], size[1], pixelSize * 8) << size[0] << size[1] << pixelSize;
        }
    }
}

void TestTgaLoader::generatedImages()
{
    QFETCH(unsigned, width);
    QFETCH(unsigned, height);
    QFETCH(int, pixelSize);

    const Generated generated = Generate(width, height, pixelSize, width * 31 + height);
    for (const QByteArray &file : {generated.raw, generated.rle}) {
        const QString path = Path(QStringLiteral("generated.tga"));
        QVERIFY(Write(path, file));
        const Loaded loaded = LoadPath(path);
        QVERIFY(loaded.messages.isEmpty());
        QVERIFY(loaded.ok);
        QCOMPARE(loaded.image.Width, width);
        QCOMPARE(loaded.image.Height, height);
        QVERIFY(loaded.pixels == generated.pixels);
    }
}

void TestTgaLoader::everyTruncationMatchesStepwise_data()
{
    QTest::addColumn<QByteArray>("file");
    const Generated small24 = Generate(13, 11, 3, 7);
    const Generated small32 = Generate(11, 9, 4, 8);
    QTest::newRow("rle 24-bit") << small24.rle;
    QTest::newRow("rle 32-bit") << small32.rle;
    QTest::newRow("raw 24-bit") << small24.raw.left(18 + 3 * 20);
    // Grown image: the same packets claim a larger picture, so every cut and
    // the full file end in a failure the packets decide.
    QByteArray larger = small32.rle;
    larger.replace(12, 6, Info(60, 60, 32));
    QTest::newRow("rle 32-bit, claims more") << larger;
}

void TestTgaLoader::everyTruncationMatchesStepwise()
{
    QFETCH(QByteArray, file);
    const QString path = Path(QStringLiteral("cut.tga"));
    for (qsizetype length = 0; length <= file.size(); ++length) {
        QVERIFY(Write(path, file.left(length)));
        CompareWithStepwise(path);
        if (QTest::currentTestFailed()) {
            qWarning("at length %lld", static_cast<long long>(length));
            return;
        }
    }
}

void TestTgaLoader::randomMutationsMatchStepwise()
{
    std::mt19937 random(2024);
    const QByteArray bases[] = {Generate(9, 7, 3, 1).rle, Generate(6, 5, 4, 2).rle, Generate(4, 3, 4, 3).raw};
    const QString path = Path(QStringLiteral("mutated.tga"));
    for (int round = 0; round < 1500; ++round) {
        QByteArray bytes = bases[round % 3];
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            // Leave the header alone mostly, so the packets are what varies.
            const int from = random() % 8 == 0 ? 0 : 12;
            const int at = from + int(random() % std::uint32_t(bytes.size() - from));
            switch (random() % 3) {
            case 0: bytes[at] = char(random() & 0xFF); break;
            case 1: bytes.truncate(std::max(at, 18)); break;
            default: bytes.insert(at, char(random() & 0xFF)); break;
            }
        }
        QVERIFY(Write(path, bytes));
        CompareWithStepwise(path);
        if (QTest::currentTestFailed()) {
            qWarning("round %d: %s", round, bytes.toHex().constData());
            return;
        }
    }
}

void TestTgaLoader::streamWithoutLength_data()
{
    QTest::addColumn<QByteArray>("file");
    const Generated big = Generate(700, 300, 4, 11);
    const Generated big24 = Generate(301, 290, 3, 12);
    QTest::newRow("raw 32-bit") << big.raw;
    QTest::newRow("rle 32-bit") << big.rle;
    QTest::newRow("raw 24-bit") << big24.raw;
    QTest::newRow("rle 24-bit") << big24.rle;
    QTest::newRow("raw cut") << big.raw.left(big.raw.size() - 1);
    QTest::newRow("rle cut") << big24.rle.left(big24.rle.size() / 2);
    QTest::newRow("raw huge claim") << Header(2) + Info(65535, 65535, 32) + PixelBytes(100, 4);
    QTest::newRow("rle huge claim") << Header(10) + Info(65535, 65535, 32) + Run(128, Bytes({1, 2, 3, 4})).repeated(20);
}

// A pipe has no length to check against: the loader grows its buffer as the
// data arrives and must come to the same result.
void TestTgaLoader::streamWithoutLength()
{
    QFETCH(QByteArray, file);
    const QString path = Path(QStringLiteral("stream.tga"));
    QVERIFY(Write(path, file));
    const StepwiseResult expected = StepwiseDecodeTga(QFile::encodeName(path).constData());

    std::FILE *stream = fmemopen(file.data(), std::size_t(file.size()), "rb");
    QVERIFY(stream);
    char header[12];
    QCOMPARE(std::fread(header, 12, 1, stream), std::size_t(1));
    TgaImage image;
    UserMessage message;
    const bool ok = header[2] == 2 ? LoadUncompressedTga(&image, stream, &message)
                                   : LoadCompressedTga(&image, stream, &message);
    QCOMPARE(ok, expected.ok);
    if (ok) {
        QVERIFY(message.text.isEmpty());
        const QByteArray pixels(reinterpret_cast<const char *>(image.Pixels), qsizetype(expected.pixels.size()));
        std::free(image.Pixels);
        QVERIFY(pixels == StepwisePixels(expected));
    } else {
        QVERIFY(image.Pixels == nullptr);
        QCOMPARE(message.text, StepwiseMessage(expected));
    }
}

void TestTgaLoader::hugeClaimsStaySmall_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("raw") << Header(2) + Info(65535, 65535, 32) + PixelBytes(64, 4);
    QTest::newRow("rle runs") << Header(10) + Info(65535, 65535, 32) + Run(128, Bytes({1, 2, 3, 4})).repeated(1000);
    QTest::newRow("rle raw packets") << Header(10) + Info(65535, 65535, 24) + Raw(PixelBytes(128, 3), 3).repeated(100);
}

// A tiny file that claims a 16 GB picture must be refused without the
// process ever holding much memory.
void TestTgaLoader::hugeClaimsStaySmall()
{
    QFETCH(QByteArray, file);
    const QString path = Path(QStringLiteral("huge.tga"));
    QVERIFY(Write(path, file));

    auto peakKilobytes = []() -> long {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmPeak:"))
                return line.mid(7).trimmed().split(' ').first().toLong();
        }
        return -1;
    };
    const long before = peakKilobytes();
    if (before < 0)
        QSKIP("no /proc/self/status");
    const Loaded loaded = LoadPath(path);
    QVERIFY(!loaded.ok);
    QCOMPARE(loaded.messages.size(), 1);
    // Address space, not resident memory: an untouched 16 GB allocation
    // would show here even though it costs no pages.
    QVERIFY2(peakKilobytes() - before < 256 * 1024, "the loader reserved far more than the file can encode");
}

void TestTgaLoader::imageMagickFiles_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("rle");
    QTest::newRow("uncompressed 24-bit") << 3 << false;
    QTest::newRow("uncompressed 32-bit") << 4 << false;
    QTest::newRow("rle 24-bit") << 3 << true;
    QTest::newRow("rle 32-bit") << 4 << true;
}

void TestTgaLoader::imageMagickFiles()
{
    QFETCH(int, pixelSize);
    QFETCH(bool, rle);
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty())
        QSKIP("ImageMagick's convert is not installed");

    // Source pixels with runs and noise, and real alpha for 32 bits.
    const int width = 37, height = 23;
    std::mt19937 random(99);
    QByteArray source;
    for (int i = 0; i < width * height; ++i) {
        const bool noisy = (i / 9) % 2 == 0;
        for (int c = 0; c < pixelSize; ++c)
            source.append(char(noisy ? random() & 0xFF : 40 * c + 10));
    }
    const QString raw = Path(QStringLiteral("source.raw"));
    const QString tga = Path(QStringLiteral("convert.tga"));
    QVERIFY(Write(raw, source));
    const QString kind = pixelSize == 4 ? QStringLiteral("rgba:") : QStringLiteral("rgb:");
    QProcess process;
    process.start(convert, {QStringLiteral("-size"), QStringLiteral("%1x%2").arg(width).arg(height),
                            QStringLiteral("-depth"), QStringLiteral("8"), kind + raw,
                            QStringLiteral("-type"), pixelSize == 4 ? QStringLiteral("TrueColorAlpha") : QStringLiteral("TrueColor"),
                            QStringLiteral("-compress"), rle ? QStringLiteral("RLE") : QStringLiteral("None"),
                            QStringLiteral("tga:") + tga});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);

    QFile written(tga);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray head = written.read(18);
    written.close();
    QCOMPARE(int(head[2]), rle ? 10 : 2);
    QCOMPARE(int(head[16]), pixelSize * 8);

    const Loaded loaded = LoadPath(tga);
    QVERIFY(loaded.messages.isEmpty());
    QVERIFY(loaded.ok);
    QCOMPARE(int(loaded.image.Width), width);
    QCOMPARE(int(loaded.image.Height), height);

    // Which way up convert stores the rows differs between its versions
    // (this one writes top row first under a bottom-up descriptor), so
    // either order of the source rows is accepted, but byte for byte.
    QByteArray topFirst, bottomFirst;
    const int row = width * pixelSize;
    for (int y = 0; y < height; ++y) {
        topFirst += source.mid(y * row, row);
        bottomFirst += source.mid((height - 1 - y) * row, row);
    }
    QVERIFY(loaded.pixels == topFirst || loaded.pixels == bottomFirst);
}

void TestTgaLoader::seedCorpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(SeedDirectory());
    // Every file: the named seeds and the inputs the fuzzer kept.
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 100);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

void TestTgaLoader::seedCorpus()
{
    QFETCH(QString, path);
    const QString name = QFileInfo(path).fileName();
    const Loaded loaded = LoadPath(path);
    if (name.startsWith(QLatin1String("ok_")) || name.startsWith(QLatin1String("conv_")))
        QVERIFY(loaded.ok);
    else if (name.startsWith(QLatin1String("bad_")))
        QVERIFY(!loaded.ok);
    CompareWithStepwise(path);
}

// The program puts the first row at the quad's lower edge: that row must be
// the card's bottom, blue block on the left and yellow on the right.
void TestTgaLoader::sampleCardRightWayUp()
{
    const QString path = Path(QStringLiteral("a.tga"));
    QCOMPARE(QProcess::execute(QString::fromUtf8(SKIMBLER_MAKE_SAMPLE_TGA), {path}), 0);
    const Loaded card = LoadPath(path);
    QVERIFY(card.ok);
    QCOMPARE(card.image.Width, 256u);
    QCOMPARE(card.image.Height, 256u);
    QCOMPARE(card.image.Format, unsigned(GL_RGBA));
    auto pixel = [&card](int x, int row) { return card.pixels.mid((row * 256 + x) * 4, 4); };
    QCOMPARE(pixel(10, 10), Bytes({40, 70, 230, 255}));    // bottom left: blue
    QCOMPARE(pixel(245, 10), Bytes({240, 220, 30, 255}));  // bottom right: yellow
    QCOMPARE(pixel(10, 245), Bytes({220, 30, 30, 255}));   // top left: red
    QCOMPARE(pixel(245, 245), Bytes({30, 180, 60, 255}));  // top right: green
    // The alpha band rises from left to right.
    const int bandRow = 255 - 185;
    QVERIFY(uchar(pixel(20, bandRow)[3]) < uchar(pixel(128, bandRow)[3]));
    QVERIFY(uchar(pixel(128, bandRow)[3]) < uchar(pixel(230, bandRow)[3]));
}

QTEST_GUILESS_MAIN(TestTgaLoader)
#include "test_tgaloader.moc"
