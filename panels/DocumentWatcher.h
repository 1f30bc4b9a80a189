#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class CSkimblerDoc;

// Follows the main window's active document and announces every change of
// it (each UpdateAllViews, a new or opened document included), so that a
// panel can show the surface as it is rather than as it was.
class DocumentWatcher : public QObject
{
    Q_OBJECT

public:
    explicit DocumentWatcher(QObject *parent = nullptr);

    // Looks the current document up again, listens to it from now on and
    // returns it (null without a main window or document).
    CSkimblerDoc *Watch();

Q_SIGNALS:
    void documentChanged();

private:
    QPointer<CSkimblerDoc> m_document;
    QMetaObject::Connection m_connection;
};
