#pragma once

#include "panels/CToolPanel.h"

class CPropertyList;

// The "Property" tool window: eleven properties of the current surface in a
// two-column list whose filter, blend, data-format and colour-key values can
// be edited in place.
class CPropertyPanel : public CToolPanel
{
    Q_OBJECT

public:
    CPropertyPanel();
    ~CPropertyPanel() override;

    CPropertyList *m_list = nullptr;

protected:
    bool OnInitDialog() override;
    QAbstractScrollArea *List() const override;
    void FitColumns() override;
    void ReadDocument() override;
};
