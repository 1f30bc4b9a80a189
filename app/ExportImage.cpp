#include "app/ExportImage.h"

#include "render/ExportDrawing.h"
#include "render/GraphicalInterface.h"
#include "render/Outputs.h"
#include "surface/CSkimblerDoc.h"
#include "view/CSkimblerView.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace ExportImage {

QImage Render(CSkimblerView *view, const QSize &size, bool background, QString *error)
{
    if (!view || !view->Interface() || !view->MakeCurrent()) {
        *error = QCoreApplication::translate("ExportImage", "there is no drawing context");
        return QImage();
    }
    if (size.width() < 1 || size.height() < 1 || size.width() > MaxSide || size.height() > MaxSide) {
        *error = QCoreApplication::translate("ExportImage", "the size must be from 1 to %1 pixels a side").arg(MaxSide);
        return QImage();
    }
    GraphicalInterface *gi = view->Interface();
    ExportDrawing::Picture picture;
    picture.Width = size.width();
    picture.Height = size.height();
    picture.Background = background;
    picture.Zoom = view->Zoom();
    // At a target screen every picture shows the true shape at its own size.
    if (!view->ScreenShape().isEmpty())
        picture.Aspect = skimbler::TrueShapeAspect(size.width(), size.height());
    // The view's pan, in pixels of the picture being made.
    picture.PanX = gi->Width > 0 ? view->PanX() * static_cast<float>(size.width()) / static_cast<float>(gi->Width) : 0.0f;
    picture.PanY =
        gi->Height > 0 ? view->PanY() * static_cast<float>(size.height()) / static_cast<float>(gi->Height) : 0.0f;
    const QImage image = ExportDrawing::Render(gi, view->GetSurface(), view->HasBackground() ? view->BackgroundTile() : TextureImage(), picture, error);
    view->requestUpdate();
    return image;
}

QString SuggestedPath(const CSkimblerDoc *document, const QString &suffix)
{
    const QString base = document ? QFileInfo(document->GetTitle()).completeBaseName() : QStringLiteral("surface");
    QDir folder = QDir::current();
    if (document && !document->GetPathName().isEmpty())
        folder = QFileInfo(document->GetPathName()).absoluteDir();
    else if (document && !document->GetImagePath().isEmpty())
        folder = QFileInfo(document->GetImagePath()).absoluteDir();
    const QString image = document ? document->GetImagePath() : QString();
    QString path = folder.filePath(QStringLiteral("%1-export.%2").arg(base, suffix));
    for (int n = 2; Outputs::SameFile(path, image); ++n)
        path = folder.filePath(QStringLiteral("%1-export-%2.%3").arg(base).arg(n).arg(suffix));
    return path;
}

bool AskOptions(QWidget *parent, const QSize &viewSize, Options *options)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("ExportImage", "匯出影像"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *viewSizeButton = new QRadioButton(
        QCoreApplication::translate("ExportImage", "檢視大小 (%1 x %2)").arg(viewSize.width()).arg(viewSize.height()), &dialog);
    auto *customButton = new QRadioButton(QCoreApplication::translate("ExportImage", "自訂大小"), &dialog);
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
    grid->addWidget(new QLabel(QCoreApplication::translate("ExportImage", "寬度"), &dialog), 0, 0);
    grid->addWidget(width, 0, 1);
    grid->addWidget(new QLabel(QCoreApplication::translate("ExportImage", "高度"), &dialog), 1, 0);
    grid->addWidget(height, 1, 1);
    QObject::connect(customButton, &QRadioButton::toggled, width, &QSpinBox::setEnabled);
    QObject::connect(customButton, &QRadioButton::toggled, height, &QSpinBox::setEnabled);
    auto *backgroundBox = new QCheckBox(QCoreApplication::translate("ExportImage", "含檢視的背景 (不含時背景透明)"), &dialog);
    backgroundBox->setChecked(options->background);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(viewSizeButton);
    layout->addWidget(customButton);
    layout->addLayout(grid);
    // The view may be letter-boxed to another screen's shape; a typed size
    // is not, and the user should know before choosing it.
    auto *shapeNote = new QLabel(
        QCoreApplication::translate("ExportImage", "自訂大小依其本身的寬高比繪製，不沿用檢視所選的螢幕形狀。"), &dialog);
    shapeNote->setWordWrap(true);
    layout->addWidget(shapeNote);
    layout->addWidget(backgroundBox);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options->size = customButton->isChecked() ? QSize(width->value(), height->value()) : viewSize;
    options->background = backgroundBox->isChecked();
    return true;
}

} // namespace ExportImage
