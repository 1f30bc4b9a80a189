#pragma once

#include "common/SettingsThroughCommand.h"
#include "app/CMainFrame.h"
#include "common/ScriptedDialogs.h"
#include "common/ViewHost.h"

#include <QtTest>

#include <memory>

namespace ViewTest {

// The real main frame around its view with a new document, shown and exposed.
inline bool OpenFrame(std::unique_ptr<CSkimblerDoc> &document, std::unique_ptr<CMainFrame> &frame,
                      CSkimblerView *&view)
{
    document = std::make_unique<CSkimblerDoc>();
    frame = std::make_unique<CMainFrame>(document.get(), CancelledDialogs());
    if (frame->OnCreate() != 0)
        return false;
    view = frame->GetActiveView();
    if (!view || !document->OnNewDocument())
        return false;
    frame->resize(1000, 760);
    frame->show();
    return QTest::qWaitForWindowExposed(frame.get()) && QTest::qWaitForWindowExposed(view);
}

inline void CloseFrame(std::unique_ptr<CSkimblerDoc> &document, std::unique_ptr<CMainFrame> &frame,
                       CSkimblerView *&view)
{
    frame.reset();
    view = nullptr;
    document.reset();
}

// The tests on the real main frame: each test function opens the frame in
// its init() and has it closed after.
class FrameTest : public TgaFolderTest
{
    Q_OBJECT

protected:
    std::unique_ptr<CSkimblerDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CSkimblerView *m_view = nullptr;

    const Surface &surface() const { return m_document->GetSurface(); }

    // Corner i's window position as the view shows it, and the whole pixel
    // nearest to it.
    QPointF windowOf(int i) const { return CornerInWindow(*m_view, *m_document, i); }
    QPoint cornerAt(int i) const { return windowOf(i).toPoint(); }
    void halveLayout() { HalveLayout(*m_document); }

private Q_SLOTS:
    void cleanup() { CloseFrame(m_document, m_frame, m_view); }
};

} // namespace ViewTest
