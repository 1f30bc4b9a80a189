// Image files read on a worker: the same pixels and the same words as a read
// on the main thread, progress up to the end, and only the latest read heard
// (a cancelled or superseded one delivers nothing).

#include "common/TgaTestFiles.h"

#include "surface/ImageLoadJob.h"
#include "surface/PixelImage.h"

#include <QImage>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(ImageReader::SizeCheck)

namespace {

// Everything a job said, in order.
struct Heard
{
    explicit Heard(ImageLoadJob *job)
    {
        QObject::connect(job, &ImageLoadJob::progress, [this](int percent) { progress.append(percent); });
        QObject::connect(job, &ImageLoadJob::loaded, [this](const QString &path, std::shared_ptr<PixelImage> image) {
            events.append(QStringLiteral("loaded ") + QFileInfo(path).fileName());
            images.append(image);
        });
        QObject::connect(job, &ImageLoadJob::failed, [this](const QString &path, const ImageError &error) {
            events.append(QStringLiteral("failed ") + QFileInfo(path).fileName());
            errors.append(error);
        });
    }
    QStringList events;
    QList<int> progress;
    QList<std::shared_ptr<PixelImage>> images;
    QList<ImageError> errors;
};

// Lets every worker finish and every delivery arrive.
void Settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

QByteArray PixelBytes(const PixelImage &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.Pixels()),
                      qsizetype(image.Width()) * image.Height() * image.BytesPerPixel());
}

QImage Noise(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    quint32 seed = 7;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, qRgba(int(seed >> 24), int(seed >> 16) & 255, x & 255, (y * 3) & 255));
        }
    }
    return image;
}

// The files the tables name, made once.
class Files
{
public:
    Files()
    {
        Noise(64, 48, QImage::Format_ARGB32).save(Path("rgba.png"));
        Noise(40, 30, QImage::Format_RGB32).save(Path("photo.jpg"), "JPEG", 90);
        Noise(512, 512, QImage::Format_ARGB32).save(Path("large.png"));
        TgaTestFiles::Write(Path("raw.tga"), TgaTestFiles::Header(2) + TgaTestFiles::Info(5, 3, 32)
                                                 + TgaTestFiles::PixelBytes(15, 4));
        QFile png(Path("rgba.png"));
        png.open(QIODevice::ReadOnly);
        TgaTestFiles::Write(Path("truncated.png"), png.read(png.size() / 2));
        TgaTestFiles::Write(Path("words.png"), "not a picture at all");
        TgaTestFiles::Write(Path("short.tga"), TgaTestFiles::Header(2) + TgaTestFiles::Info(5, 3, 32));
    }
    QString Path(const char *name) const { return m_folder.filePath(QString::fromLatin1(name)); }

private:
    QTemporaryDir m_folder;
};

} // namespace

class TestImageLoadJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_files = std::make_unique<Files>(); }
    void cleanupTestCase() { Settle(); }

    void sameAsReadingHere_data();
    void sameAsReadingHere();
    void progressReachesTheEnd();
    void onlyTheLatestReadIsHeard_data();
    void onlyTheLatestReadIsHeard();

private:
    std::unique_ptr<Files> m_files;
};

void TestImageLoadJob::sameAsReadingHere_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<ImageReader::SizeCheck>("sizeCheck");
    const ImageReader::SizeCheck any;
    const ImageReader::SizeCheck tooLarge = [](int, int, int) { return QStringLiteral("too large here"); };
    QTest::newRow("png with alpha") << QStringLiteral("rgba.png") << any;
    QTest::newRow("jpeg") << QStringLiteral("photo.jpg") << any;
    QTest::newRow("tga") << QStringLiteral("raw.tga") << any;
    QTest::newRow("png cut short") << QStringLiteral("truncated.png") << any;
    QTest::newRow("text named png") << QStringLiteral("words.png") << any;
    QTest::newRow("tga without pixels") << QStringLiteral("short.tga") << any;
    QTest::newRow("missing") << QStringLiteral("missing.tga") << any;
    QTest::newRow("png refused by size") << QStringLiteral("rgba.png") << tooLarge;
    QTest::newRow("tga refused by size") << QStringLiteral("raw.tga") << tooLarge;
}

void TestImageLoadJob::sameAsReadingHere()
{
    QFETCH(QString, name);
    QFETCH(ImageReader::SizeCheck, sizeCheck);
    const QString path = m_files->Path(name.toLatin1().constData());

    PixelImage expected;
    ImageError expectedError;
    const bool expectedOk = ImageReader::Read(path, sizeCheck, &expected, &expectedError);

    ImageLoadJob job;
    Heard heard(&job);
    job.Start(path, sizeCheck);
    QVERIFY(job.IsRunning());
    Settle();
    QVERIFY(!job.IsRunning());
    QCOMPARE(heard.events, QStringList{(expectedOk ? QStringLiteral("loaded ") : QStringLiteral("failed ")) + name});
    if (expectedOk) {
        const PixelImage &image = *heard.images.value(0);
        QCOMPARE(image.Width(), expected.Width());
        QCOMPARE(image.Height(), expected.Height());
        QCOMPARE(image.Components(), expected.Components());
        QCOMPARE(image.Format(), expected.Format());
        QCOMPARE(PixelBytes(image), PixelBytes(expected));
    } else {
        const ImageError &error = heard.errors.value(0);
        QCOMPARE(error.text, expectedError.text);
        QCOMPARE(error.caption, expectedError.caption);
        QCOMPARE(error.icon, expectedError.icon);
        QCOMPARE(error.path, expectedError.path);
    }
}

void TestImageLoadJob::progressReachesTheEnd()
{
    ImageLoadJob job;
    Heard heard(&job);
    job.Start(m_files->Path("large.png"), ImageReader::SizeCheck());
    Settle();
    QCOMPARE(heard.events, QStringList{QStringLiteral("loaded large.png")});
    QVERIFY2(heard.progress.size() > 2, "a picture of many chunks reports along the way");
    QCOMPARE(heard.progress.last(), 100);
    QVERIFY(std::is_sorted(heard.progress.begin(), heard.progress.end()));
}

// The first read waits in its size check (after the header, before the
// pixels) until the test has done what the row says; only then may it go on.
void TestImageLoadJob::onlyTheLatestReadIsHeard_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("expected");
    // Whether the first read has already finished, its result queued for the
    // main thread but not yet heard, when the row's step comes.
    QTest::addColumn<bool>("queued");
    const QStringList newer{QStringLiteral("loaded raw.tga")};
    QTest::newRow("cancelled") << QString() << QStringList() << false;
    QTest::newRow("a newer image") << QStringLiteral("raw.tga") << newer << false;
    QTest::newRow("a newer failure") << QStringLiteral("words.png")
                                     << QStringList{QStringLiteral("failed words.png")} << false;
    QTest::newRow("the same file again") << QStringLiteral("large.png")
                                         << QStringList{QStringLiteral("loaded large.png")} << false;
    QTest::newRow("cancelled, result queued") << QString() << QStringList() << true;
    QTest::newRow("a newer image, result queued") << QStringLiteral("raw.tga") << newer << true;
}

void TestImageLoadJob::onlyTheLatestReadIsHeard()
{
    QFETCH(QString, then);
    QFETCH(QStringList, expected);
    QFETCH(bool, queued);
    auto gate = std::make_shared<QSemaphore>();
    auto waiting = std::make_shared<QSemaphore>();
    const ImageReader::SizeCheck held = [gate, waiting](int, int, int) {
        waiting->release();
        gate->acquire();
        return QString();
    };

    ImageLoadJob job;
    Heard heard(&job);
    const quint64 first = job.Start(m_files->Path("large.png"), queued ? ImageReader::SizeCheck() : held);
    if (queued) {
        // The worker is done and has posted its result; nothing is heard
        // until the events are processed, after the row's step.
        QThreadPool::globalInstance()->waitForDone();
    } else {
        QVERIFY(waiting->tryAcquire(1, 10000));
    }
    if (then.isEmpty()) {
        job.Cancel();
        QVERIFY(!job.IsRunning());
    } else {
        QVERIFY(job.Start(m_files->Path(then.toLatin1().constData()), ImageReader::SizeCheck()) != first);
        // The newer read is delivered before the older one may even finish.
        QTRY_COMPARE_WITH_TIMEOUT(heard.events, expected, 10000);
    }
    heard.progress.clear();
    gate->release();
    Settle();
    QCOMPARE(heard.events, expected);
    QVERIFY2(heard.progress.isEmpty(), "a dropped read reports no progress");
    QVERIFY(!job.IsRunning());
}

QTEST_GUILESS_MAIN(TestImageLoadJob)
#include "test_imageloadjob.moc"
