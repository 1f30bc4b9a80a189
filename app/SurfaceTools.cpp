#include "app/SurfaceTools.h"

#include "app/CMainFrame.h"
#include "app/Dialogs.h"
#include "app/PixelProbeTool.h"
#include "app/SurfaceClipboard.h"
#include "render/GraphicalInterface.h"
#include "render/Outputs.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "app/MessageBox.h"
#include "view/CSkimblerView.h"

#include "skimbler/Scene.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>

using namespace Resource;

namespace {

// The probe's button: cross hairs over a pixel square.
QIcon ProbeIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(6, 6, 4, 4), QColor(0, 0, 255));
    painter.setPen(Qt::black);
    painter.drawLine(7, 0, 7, 4);
    painter.drawLine(7, 11, 7, 15);
    painter.drawLine(0, 7, 4, 7);
    painter.drawLine(11, 7, 15, 7);
    painter.drawRect(5, 5, 5, 5);
    return QIcon(pixmap);
}

} // namespace

SurfaceTools::SurfaceTools(CMainFrame *frame, Dialogs &dialogs)
    : QObject(frame)
    , m_frame(frame)
    , m_dialogs(dialogs)
{
    CSkimblerView *view = frame->GetActiveView();
    m_probe = new PixelProbeTool(view, frame->GetActiveDocument(), this);

    if (QAction *probe = frame->CommandAction(ID_PIXEL_PROBE); probe && probe->icon().isNull())
        probe->setIcon(ProbeIcon());
    for (int commandId : {ID_EDIT_COPY, ID_EDIT_COPY_SHADER, ID_EDIT_PASTE}) {
        if (QAction *action = frame->CommandAction(commandId))
            action->setEnabled(true);
    }
    // The menu item shows the surface's own setting, whatever changed it:
    // the item, an undo, Paste, or another surface opened (which updates
    // every view too).
    if (CSkimblerDoc *document = frame->GetActiveDocument())
        connect(document, &CSkimblerDoc::viewsUpdated, this, &SurfaceTools::ShowProjective);
    ShowProjective();
}

SurfaceTools::~SurfaceTools() = default;

bool SurfaceTools::OnCommand(int commandId)
{
    switch (commandId) {
    case ID_EDIT_COPY:
        if (!ForwardToTextField(commandId))
            Copy();
        return true;
    case ID_EDIT_PASTE:
        if (!ForwardToTextField(commandId))
            Paste();
        return true;
    case ID_EDIT_COPY_SHADER:
        CopyShaderCode();
        return true;
    case ID_PIXEL_PROBE:
        m_probe->SetEnabled(m_frame->IsButtonChecked(ID_PIXEL_PROBE));
        return true;
    case ID_PERSPECTIVE_TEXTURE:
        SetProjective(m_frame->IsButtonChecked(ID_PERSPECTIVE_TEXTURE));
        return true;
    case ID_FILE_EXPORT_IMAGE:
        Export();
        return true;
    default:
        return false;
    }
}

void SurfaceTools::SetProjective(bool on)
{
    CSkimblerDoc *document = m_frame->GetActiveDocument();
    if (document) {
        skimbler::SurfaceSettings after = document->Settings();
        after.PerspectiveCorrect = on ? 1u : 0u;
        document->ChangeSettings(after, tr("透視校正貼圖"));
    }
    ShowProjective();
}

void SurfaceTools::ShowProjective()
{
    const CSkimblerDoc *document = m_frame->GetActiveDocument();
    m_frame->CheckButton(ID_PERSPECTIVE_TEXTURE, document && document->GetSurface().PerspectiveCorrect != 0);
}

bool SurfaceTools::ForwardToTextField(int commandId)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return false;
    const auto *combo = qobject_cast<QComboBox *>(focus);
    const bool textField = qobject_cast<QLineEdit *>(focus) || qobject_cast<QTextEdit *>(focus)
        || qobject_cast<QPlainTextEdit *>(focus) || qobject_cast<QAbstractSpinBox *>(focus)
        || (combo && combo->isEditable());
    if (!textField)
        return false;
    // As if typed: the field's own filtering applies.
    const int key = commandId == ID_EDIT_COPY ? Qt::Key_C : Qt::Key_V;
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
    QApplication::sendEvent(focus, &press);
    QApplication::sendEvent(focus, &release);
    return true;
}

void SurfaceTools::Copy()
{
    CSkimblerDoc *document = m_frame->GetActiveDocument();
    CSkimblerView *view = m_frame->GetActiveView();
    if (!document)
        return;
    const GraphicalInterface *drawing = view ? view->Interface() : nullptr;
    const int width = drawing ? drawing->Width : 800;
    const int height = drawing ? drawing->Height : 600;
    QString error;
    QMimeData *mime = SurfaceClipboard::MakeMimeData(document->GetSurface(), document->GetImagePath(), width, height,
                                                     false, &error,
                                                     drawing ? drawing->Aspect() : skimbler::scene::Aspect);
    if (!mime) {
        MessageBox::show(tr("Cannot copy the surface: %1.").arg(error), QStringLiteral("Skimbler"),
                         MessageBox::Exclamation);
        return;
    }
    QGuiApplication::clipboard()->setMimeData(mime);
}

void SurfaceTools::CopyShaderCode()
{
    CSkimblerDoc *document = m_frame->GetActiveDocument();
    CSkimblerView *view = m_frame->GetActiveView();
    if (!document)
        return;
    GraphicalInterface *gi = view ? view->Interface() : nullptr;
    Outputs::Source source = Outputs::FromDocument(*document);
    source.view = QSize(gi ? gi->Width : 800, gi ? gi->Height : 600);
    source.aspect = gi ? gi->Aspect() : skimbler::scene::Aspect;
    const Outputs::Output *listing = Outputs::Find(QLatin1String(Outputs::ShaderCopyListing), Outputs::Kind::Listing);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(listing->write(source).bytes));
}

void SurfaceTools::Paste()
{
    CSkimblerDoc *document = m_frame->GetActiveDocument();
    QString error;
    // The document tells the views and panels of the change itself.
    if (!SurfaceClipboard::Paste(QGuiApplication::clipboard()->mimeData(), document, &error)) {
        MessageBox::show(tr("Nothing was pasted: %1.").arg(error), QStringLiteral("Skimbler"),
                         MessageBox::Exclamation);
    }
}

bool SurfaceTools::MayWrite(const QString &path)
{
    const CSkimblerDoc *document = m_frame->GetActiveDocument();
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    // A named pipe, a device or a folder is never written into or replaced:
    // said at once, not after a question about replacing it.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile()) {
        MessageBox::show(tr("Cannot export to %1: it is not a regular file.").arg(shown), QStringLiteral("Skimbler"),
                         MessageBox::Exclamation);
        return false;
    }
    QString question;
    // The picture the surface shows is the user's own work, and the file
    // watcher would load the export in its place.
    if (document && Outputs::SameFile(path, document->GetImagePath())) {
        question = tr("%1 is the picture this surface shows. Exporting there replaces the picture itself, "
                      "and that cannot be undone.\n\nReplace the surface's picture with the export?")
                       .arg(QFileInfo(path).fileName());
    } else if (QFileInfo::exists(path)) {
        question = tr("%1 already exists. Replace it?").arg(QFileInfo(path).fileName());
    } else {
        return true;
    }
    return MessageBox::show(question, QStringLiteral("Skimbler"), MessageBox::Question, MessageBox::ReplaceCancel,
                            shown)
        == MessageBox::ResultReplace;
}

void SurfaceTools::Export()
{
    CSkimblerView *view = m_frame->GetActiveView();
    CSkimblerDoc *document = m_frame->GetActiveDocument();
    if (!view)
        return;
    ExportImage::Options options;
    // The picture the view shows: its drawing area, letter-boxing left out.
    options.size = view->ViewportRect().size();
    if (!m_dialogs.AskExportOptions(m_frame, &options))
        return;

    const Outputs::Output *png = Outputs::Find(QStringLiteral("png"), Outputs::Kind::File);
    QString path = m_dialogs.AskExportPath(m_frame, ExportImage::SuggestedPath(document, png->suffixes.first()));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + png->suffixes.first();
    const QString shown = QDir::toNativeSeparators(path);
    // The suffix says the format.
    const Outputs::Output *format = Outputs::ForPath(path);
    if (!format) {
        MessageBox::show(tr("Cannot export to %1: Skimbler writes %2 files.").arg(shown, Outputs::SuffixList()),
                         QStringLiteral("Skimbler"), MessageBox::Exclamation);
        return;
    }
    if (!MayWrite(path))
        return;

    Outputs::Source source;
    if (document)
        source = Outputs::FromDocument(*document);
    else
        source.surface = view->GetSurface();
    source.view = options.size;
    // The projection the picture is drawn with: at a target screen the true
    // shape at the export's own size, as ExportImage::Render draws it.
    if (!view->ScreenShape().isEmpty())
        source.aspect = skimbler::TrueShapeAspect(options.size.width(), options.size.height());
    source.projective = view->Interface() && view->Interface()->ProjectiveTexture;
    // As the picture shows the surface: zoomed and panned as the view does.
    source.zoom = view->Zoom();
    source.pan = QPointF(view->PanX(), view->PanY());
    source.draw = [&](QString *error) { return ExportImage::Render(view, options.size, options.background, error); };
    Outputs::Result result;
    if (source.surface)
        result = format->write(source);
    else
        result.error = tr("there is no surface");
    if (result.error.isEmpty())
        result.error = Outputs::WriteFile(path, result.bytes);
    if (!result.error.isEmpty()) {
        MessageBox::show(tr("Cannot export the image to %1: %2.").arg(shown, result.error), QStringLiteral("Skimbler"),
                         MessageBox::Exclamation);
        return;
    }
    // What a reader may show otherwise than the editor: said beside where
    // the file went, and for longer.
    QString status = tr("已匯出影像至 %1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    for (const QString &warning : result.warnings)
        status += QStringLiteral(" \u2014 ") + warning;
    m_frame->statusBar()->showMessage(status, result.warnings.isEmpty() ? 10000 : 30000);
}
