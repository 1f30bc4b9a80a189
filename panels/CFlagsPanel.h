#pragma once

#include "panels/CToolPanel.h"

#include <skimbler/SurfaceFlags.h>

class QTableWidget;
class QTableWidgetItem;

// The "Flags" tool window: the six flag bits of the current surface as check
// boxes. Any change of a check box writes the whole flag word.
class CFlagsPanel : public CToolPanel
{
    Q_OBJECT

public:
    CFlagsPanel();
    ~CFlagsPanel() override;

    static QString Label(int row);
    // What the flag does while set and while clear, in the user's language.
    static QString ToolTip(int row);
    // Bit i set for each ticked row i; bits 6 to 31 are always 0.
    skimbler::SurfaceFlags ComposeFlags() const;

    QTableWidget *m_list = nullptr;

protected:
    bool OnInitDialog() override;
    QAbstractScrollArea *List() const override;
    void FitColumns() override;
    void ReadDocument() override;

private:
    void OnItemChanged(QTableWidgetItem *item);
    void ShowFlags(skimbler::SurfaceFlags flags);

    bool m_showing = false;
};
