#include "app/GeometryProbe.h"

#include "app/CMainFrame.h"
#include "app/CNumberEdit.h"
#include "app/CPercentEdit.h"
#include "app/CSkimblerApp.h"
#include "panels/CColorsPanel.h"
#include "panels/CFlagsPanel.h"
#include "panels/CPropertyList.h"
#include "panels/CPropertyPanel.h"
#include "res/Resource.h"
#include "view/CSkimblerView.h"

#include <QAction>
#include <QFile>
#include <QSaveFile>
#include <QTableWidget>
#include <QTextStream>
#include <QToolBar>

namespace {

QString Line(const char *name, const QRect &rect)
{
    return QStringLiteral("%1 %2 %3 %4 %5\n")
        .arg(QString::fromLatin1(name))
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

QRect Global(const QWidget *widget, const QRect &local)
{
    return widget ? QRect(widget->mapToGlobal(local.topLeft()), local.size()) : QRect();
}

QRect Global(const QWidget *widget)
{
    return widget ? Global(widget, widget->rect()) : QRect();
}

QRect Cell(const QTableWidget *list, int row, int column)
{
    if (!list || !list->item(row, column))
        return QRect();
    return Global(list->viewport(), list->visualItemRect(list->item(row, column)));
}

} // namespace

QString GeometryProbe::Describe(const CSkimblerApp *app)
{
    QString text;
    CMainFrame *frame = app->GetMainWnd();
    CSkimblerView *view = app->GetActiveView();
    if (!frame || !view)
        return text;
    text += Line("view", QRect(view->mapToGlobal(QPoint(0, 0)), view->size()));
    text += Line("zoom", Global(frame->findChild<QWidget *>(QStringLiteral("zoomEdit"))));
    text += Line("x", Global(frame->findChild<QWidget *>(QStringLiteral("xEdit"))));
    text += Line("y", Global(frame->findChild<QWidget *>(QStringLiteral("yEdit"))));
    text += Line("z", Global(frame->findChild<QWidget *>(QStringLiteral("zEdit"))));
    for (const auto &[name, id] : {std::pair<const char *, int>{"point0", Resource::ID_POINT_0},
                                   {"point1", Resource::ID_POINT_1},
                                   {"point2", Resource::ID_POINT_2},
                                   {"point3", Resource::ID_POINT_3},
                                   {"pointnone", Resource::ID_POINT_NONE}}) {
        QAction *action = frame->CommandAction(id);
        const auto *pointBar = frame->findChild<QToolBar *>(QStringLiteral("pointBar"));
        QWidget *button = action && pointBar ? pointBar->widgetForAction(action) : nullptr;
        text += Line(name, Global(button));
    }
    // The tool windows' frames, caption included.
    const CPropertyPanel *propertyPanel = frame->PropertyPanel();
    const CFlagsPanel *flagsPanel = frame->FlagsPanel();
    const CColorsPanel *colorsPanel = frame->ColorsPanel();
    if (propertyPanel)
        text += Line("propertywindow", propertyPanel->frameGeometry());
    if (flagsPanel)
        text += Line("flagswindow", flagsPanel->frameGeometry());
    if (colorsPanel)
        text += Line("colorswindow", colorsPanel->frameGeometry());
    if (propertyPanel) {
        const CPropertyList *list = propertyPanel->m_list;
        for (int row = 0; list && row < list->rowCount(); ++row)
            text += Line(QStringLiteral("property%1").arg(row).toLatin1().constData(), Cell(list, row, 1));
    }
    if (flagsPanel) {
        const QTableWidget *list = flagsPanel->m_list;
        for (int row = 0; list && row < list->rowCount(); ++row)
            text += Line(QStringLiteral("flag%1").arg(row).toLatin1().constData(), Cell(list, row, 0));
    }
    return text;
}

void GeometryProbe::WriteIfRequested(const CSkimblerApp *app)
{
    const QString path = qEnvironmentVariable("SKIMBLER_GEOMETRY_FILE");
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(Describe(app).toUtf8());
    file.commit();
}
