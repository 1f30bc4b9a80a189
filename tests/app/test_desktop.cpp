// The program as a desktop user meets it, under a real window manager (run by
// with_openbox.sh at several screen sizes): where the tool windows appear,
// that they come back where they were left, and that every tool-bar control
// can be seen and reached with Tab.

#include "app/CMainFrame.h"
#include "app/CSkimblerApp.h"
#include "common/MessageBoxRecorder.h"
#include "panels/CColorsPanel.h"
#include "panels/CFlagsPanel.h"
#include "panels/CPropertyPanel.h"
#include "res/Resource.h"
#include "view/CSkimblerView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestDesktop : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_work;
    std::unique_ptr<MessageBoxRecorder> m_messages;
    std::unique_ptr<CSkimblerApp> m_app;

    bool Start()
    {
        m_app = std::make_unique<CSkimblerApp>();
        if (!m_app->InitInstance({}))
            return false;
        // The window manager frames the tool windows in its own time.
        for (QWidget *panel : Panels()) {
            if (!panel->isHidden() && !QTest::qWaitFor([panel] { return panel->frameGeometry() != panel->geometry(); }))
                return false;
        }
        QTest::qWait(200);
        return true;
    }
    CMainFrame *Frame() const { return m_app->GetMainWnd(); }
    CSkimblerView *View() const { return m_app->GetActiveView(); }
    QList<QWidget *> Panels() const
    {
        return {Frame()->PropertyPanel(), Frame()->FlagsPanel(), Frame()->ColorsPanel()};
    }
    QRect Screen() const { return Frame()->screen()->availableGeometry(); }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_settings.path()));
        QVERIFY(QDir::setCurrent(m_work.path()));
        m_messages = std::make_unique<MessageBoxRecorder>();
    }
    void init() { QSettings().remove(QStringLiteral("Tool Windows")); }
    void cleanup() { m_app.reset(); }

    void toolWindowsStartSideBySide();
    void toolWindowsComeBackWhereLeft();
    void everyToolBarControlIsShownAndTabbable();
};

void TestDesktop::toolWindowsStartSideBySide()
{
    QVERIFY(Start());
    const QList<QWidget *> panels = Panels();
    for (int i = 0; i < panels.size(); ++i) {
        const QRect frame = panels.at(i)->frameGeometry();
        QVERIFY2(panels.at(i)->isVisible(), qPrintable(panels.at(i)->objectName()));
        QVERIFY2(Screen().contains(frame), qPrintable(panels.at(i)->objectName()));
        for (int j = 0; j < i; ++j) {
            QVERIFY2(!frame.intersects(panels.at(j)->frameGeometry()),
                     qPrintable(panels.at(i)->objectName() + QLatin1Char('/') + panels.at(j)->objectName()));
        }
    }
    // Property at the view's top-left; Flags at the screen's left edge right
    // below it, where there is room for it.
    const QRect property = Frame()->PropertyPanel()->frameGeometry();
    const QRect flags = Frame()->FlagsPanel()->frameGeometry();
    QCOMPARE(property.topLeft(), View()->mapToGlobal(QPoint(0, 0)));
    if (property.bottom() + flags.height() <= Screen().bottom())
        QCOMPARE(flags.topLeft(), QPoint(Screen().left(), property.bottom() + 1));
}

void TestDesktop::toolWindowsComeBackWhereLeft()
{
    QVERIFY(Start());
    CPropertyPanel *property = Frame()->PropertyPanel();
    const QPoint moved = Screen().center() - QPoint(property->width() / 2, property->height() / 2);
    property->move(moved);
    QTRY_COMPARE(property->frameGeometry().topLeft(), moved);
    const QSize size = property->size() + QSize(12, -20);
    property->resize(size);
    QTest::keyClick(Frame()->ColorsPanel()->m_list, Qt::Key_Escape);
    QVERIFY(Frame()->ColorsPanel()->isHidden());

    m_app.reset();
    QVERIFY(Start());
    QTRY_COMPARE(Frame()->PropertyPanel()->frameGeometry().topLeft(), moved);
    QCOMPARE(Frame()->PropertyPanel()->size(), size);
    QVERIFY(Frame()->ColorsPanel()->isHidden());
    QVERIFY(!Frame()->IsButtonChecked(Resource::ID_VIEW_COLORS_WINDOW));
    QVERIFY(Frame()->FlagsPanel()->isVisible());
    // Shown again from the menu, and kept shown.
    Frame()->CommandAction(Resource::ID_VIEW_COLORS_WINDOW)->trigger();
    QVERIFY(Frame()->ColorsPanel()->isVisible());

    // A place no screen shows any more falls back to the first placement.
    m_app.reset();
    QSettings settings;
    settings.setValue(QStringLiteral("Tool Windows/propertyPanel/position"), QPoint(-5000, 9000));
    settings.sync();
    QVERIFY(Start());
    QVERIFY(Frame()->ColorsPanel()->isVisible());
    QTRY_COMPARE(Frame()->PropertyPanel()->frameGeometry().topLeft(), View()->mapToGlobal(QPoint(0, 0)));
}

void TestDesktop::everyToolBarControlIsShownAndTabbable()
{
    QVERIFY(Start());
    CMainFrame *frame = Frame();
    QTRY_VERIFY(frame->isMaximized());
    QTest::qWait(200);
    const QRect window = frame->frameGeometry();
    const QList<QWidget *> controls = frame->ToolBarControls();
    // Standard, view and point bars: 10 buttons, 6 and a field, 6 and three.
    QCOMPARE(controls.size(), 10 + 7 + 9);
    QList<QWidget *> tabbable;
    for (QWidget *control : controls) {
        const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
        QVERIFY2(control->isVisible(), qPrintable(control->toolTip()));
        QVERIFY2(window.contains(onScreen) && Screen().contains(onScreen), qPrintable(control->toolTip()));
        if (control->isEnabled())
            tabbable.append(control);
    }

    // From the view, Tab walks every enabled control left to right, then
    // comes back to the view.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    View()->requestActivate();
    QTRY_COMPARE(QGuiApplication::focusWindow(), static_cast<QWindow *>(View()));
    QTest::keyClick(View(), Qt::Key_Tab);
    QList<QWidget *> walked;
    for (int i = 0; i < tabbable.size() && QApplication::focusWidget(); ++i) {
        walked.append(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, tabbable);
    QTRY_COMPARE(QGuiApplication::focusWindow(), static_cast<QWindow *>(View()));
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
