#pragma once

#include "app/CMainFrame.h"
#include "view/ViewTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace ViewTest {

// Makes `dir` the working folder with a 4 x 4 a.tga in it, which every new
// document loads; `previous` gets the folder to return to.
inline bool EnterTgaFolder(const QTemporaryDir &dir, QString *previous)
{
    if (!dir.isValid() || !WriteTga(dir.filePath(QStringLiteral("a.tga")), 4, 4))
        return false;
    *previous = QDir::currentPath();
    return QDir::setCurrent(dir.path());
}

// The real main frame around its view with a new document, shown and exposed.
inline bool OpenFrame(std::unique_ptr<CSkimblerDoc> &document, std::unique_ptr<CMainFrame> &frame,
                      CSkimblerView *&view)
{
    document = std::make_unique<CSkimblerDoc>();
    frame = std::make_unique<CMainFrame>(document.get());
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

} // namespace ViewTest
