#include "app/ExportImage.h"

#include "render/DrawLayers.h"
#include "render/GraphicalInterface.h"
#include "surface/Surface.h"
#include "view/CSkimblerView.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageWriter>
#include <QLabel>
#include <QOpenGLFramebufferObject>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using skimbler::SURFACE_FLAG_BLEND;

namespace {

constexpr std::uint32_t kSrcAlpha = 0x0302;
constexpr std::uint32_t kSrcAlphaSaturate = 0x0308;

// Puts the drawing interface and the clear colour back however the
// rendering ends.
class InterfaceSizeGuard
{
public:
    InterfaceSizeGuard(GraphicalInterface *gi, int width, int height)
        : m_interface(gi)
        , m_width(gi->Width)
        , m_height(gi->Height)
        , m_offsetX(gi->ViewOffsetX())
        , m_offsetY(gi->ViewOffsetY())
    {
        m_interface->Resize(width, height, false);
    }
    ~InterfaceSizeGuard()
    {
        DrawLayers::WriteChannels(true, true);
        DrawLayers::EnableBlending(true);
        DrawLayers::SetClearColour(0.0f, 0.0f, 0.0f, 1.0f);
        m_interface->Resize(m_width, m_height, false);
        m_interface->SetViewOffset(m_offsetX, m_offsetY);
    }

private:
    GraphicalInterface *m_interface;
    int m_width;
    int m_height;
    float m_offsetX;
    float m_offsetY;
};

// The buffer holds colour as the blend left it on transparent black. Where
// the blend weighed the source by its alpha, the colour is premultiplied and
// is divided back; otherwise it already is the surface's own colour.
QImage Straighten(const QImage &read, bool premultiplied)
{
    QImage image = read.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y) {
        uchar *pixel = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, pixel += 4) {
            const int alpha = pixel[3];
            if (alpha == 0) {
                pixel[0] = pixel[1] = pixel[2] = 0;
                continue;
            }
            if (!premultiplied)
                continue;
            for (int k = 0; k < 3; ++k)
                pixel[k] = static_cast<uchar>(std::min(255, (pixel[k] * 255 + alpha / 2) / alpha));
        }
    }
    return image;
}

} // namespace

namespace ExportImage {

QImage Render(CSkimblerView *view, const QSize &size, bool background, QString *error)
{
    if (!view || !view->m_interface || !view->MakeCurrent()) {
        *error = QStringLiteral("there is no drawing context");
        return QImage();
    }
    if (size.width() < 1 || size.height() < 1 || size.width() > MaxSide || size.height() > MaxSide) {
        *error = QStringLiteral("the size must be from 1 to %1 pixels a side").arg(MaxSide);
        return QImage();
    }
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    format.setInternalTextureFormat(0x8058);  // GL_RGBA8: the alpha channel is the picture's
    QOpenGLFramebufferObject target(size, format);
    if (!target.isValid() || !target.bind()) {
        *error = QStringLiteral("the graphics driver cannot draw a %1 x %2 picture")
                     .arg(size.width())
                     .arg(size.height());
        view->requestUpdate();
        return QImage();
    }

    GraphicalInterface *gi = view->m_interface;
    Surface *surface = view->GetSurface();
    QImage read;
    // The view's pan, in pixels of the picture being made.
    const float panX = gi->Width > 0 ? view->m_panX * static_cast<float>(size.width()) / static_cast<float>(gi->Width) : 0.0f;
    const float panY =
        gi->Height > 0 ? view->m_panY * static_cast<float>(size.height()) / static_cast<float>(gi->Height) : 0.0f;
    {
        InterfaceSizeGuard guard(gi, size.width(), size.height());
        // The checkerboard belongs to the window and does not pan.
        gi->SetViewOffset(0.0f, 0.0f);
        DrawLayers::SetClearColour(0.0f, 0.0f, 0.0f, background ? 1.0f : 0.0f);
        gi->Clear();
        if (background && view->m_backgroundWidth > 0 && view->m_backgroundHeight > 0) {
            // The view's checkerboard: one tile texel per pixel from the
            // bottom-left corner.
            const float right = static_cast<float>(size.width());
            const float bottom = static_cast<float>(size.height());
            float corners[4][3] = {{0, 0, 0}, {0, bottom, 0}, {right, 0, 0}, {right, bottom, 0}};
            for (auto &corner : corners)
                gi->ScreenToWorld(corner[0], corner[1]);
            gi->DrawImageQuad(view->m_background, right / static_cast<float>(view->m_backgroundWidth),
                              bottom / static_cast<float>(view->m_backgroundHeight), corners, 1.0f);
        }
        gi->SetViewOffset(panX, panY);
        if (surface) {
            // The colour as drawn; the alpha channel keeps what the clear
            // gave, opaque over the checkerboard.
            DrawLayers::WriteChannels(true, false);
            gi->DrawSurface(*surface, 0.0f, 0.0f, 0.0f, view->m_zoom, view->m_zoom, 1.0f);
            if (!background) {
                // Alone, the surface's alpha is its coverage.
                DrawLayers::WriteChannels(false, true);
                DrawLayers::EnableBlending(false);
                gi->DrawSurface(*surface, 0.0f, 0.0f, 0.0f, view->m_zoom, view->m_zoom, 1.0f);
            }
        }
        read = target.toImage();
    }
    target.release();
    view->requestUpdate();
    if (read.isNull()) {
        *error = QStringLiteral("the picture could not be read back");
        return QImage();
    }
    if (background)
        return read.convertToFormat(QImage::Format_RGB32);
    bool premultiplied = false;
    if (surface) {
        const std::uint32_t source = (surface->Flags & SURFACE_FLAG_BLEND) ? surface->SrcFactor : kSrcAlpha;
        premultiplied = source == kSrcAlpha || source == kSrcAlphaSaturate;
    }
    // toImage took the buffer for premultiplied; reinterpret the raw bytes.
    QImage raw = read.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    raw.reinterpretAsFormat(QImage::Format_RGBA8888);
    return Straighten(raw, premultiplied);
}

bool Save(const QImage &image, const QString &path, QString *error)
{
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        *error = writer.errorString();
        return false;
    }
    return true;
}

bool AskOptions(QWidget *parent, const QSize &viewSize, Options *options)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("匯出影像"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *viewSizeButton = new QRadioButton(
        QStringLiteral("檢視大小 (%1 x %2)").arg(viewSize.width()).arg(viewSize.height()), &dialog);
    auto *customButton = new QRadioButton(QStringLiteral("自訂大小"), &dialog);
    viewSizeButton->setChecked(true);
    auto *grid = new QGridLayout;
    auto *width = new QSpinBox(&dialog);
    auto *height = new QSpinBox(&dialog);
    for (QSpinBox *box : {width, height}) {
        box->setRange(1, MaxSide);
        box->setSuffix(QStringLiteral(" px"));
        box->setEnabled(false);
    }
    width->setValue(std::max(1, viewSize.width()));
    height->setValue(std::max(1, viewSize.height()));
    grid->addWidget(new QLabel(QStringLiteral("寬度"), &dialog), 0, 0);
    grid->addWidget(width, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("高度"), &dialog), 1, 0);
    grid->addWidget(height, 1, 1);
    QObject::connect(customButton, &QRadioButton::toggled, width, &QSpinBox::setEnabled);
    QObject::connect(customButton, &QRadioButton::toggled, height, &QSpinBox::setEnabled);
    auto *backgroundBox = new QCheckBox(QStringLiteral("含棋盤格背景 (不含時背景透明)"), &dialog);
    backgroundBox->setChecked(options->background);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(viewSizeButton);
    layout->addWidget(customButton);
    layout->addLayout(grid);
    layout->addWidget(backgroundBox);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options->size = customButton->isChecked() ? QSize(width->value(), height->value()) : viewSize;
    options->background = backgroundBox->isChecked();
    return true;
}

} // namespace ExportImage
