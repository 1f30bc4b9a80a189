#pragma once

#include "panels/InPlaceEditResult.h"
#include "panels/PropertyOption.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableWidget>

#include <cstdint>

class CInPlaceCombo;
class CSkimblerDoc;
class CInPlaceEdit;
class Surface;
namespace skimbler {
struct SurfaceSettings;
}

// The two-column list of the Property panel: labels on the left, the
// surface's values on the right. A click on a value cell opens the in-place
// editor the row calls for; the editors' results come back here.
class CPropertyList : public QTableWidget
{
    Q_OBJECT

public:
    enum Row {
        RowVersion,
        RowBPP,
        RowType,
        RowDataFormat,
        RowWidth,
        RowHeight,
        RowColorKey,
        RowMagFilter,
        RowMinFilter,
        RowSrcFactor,
        RowDestFactor,
        RowCount
    };
    static constexpr int LabelColumnWidth = 100;

    explicit CPropertyList(QWidget *parent = nullptr);

    // The document whose settings the editors change (null: none).
    void SetDocument(CSkimblerDoc *document);

    // The two columns and the eleven labelled rows; values from `surface`
    // when there is one.
    void InsertColumnsAndRows(const Surface *surface);
    // Rewrites every value cell from the surface.
    void ShowValues(const Surface &surface);
    // Column 0 keeps its 100 pixels, column 1 takes the rest of the
    // viewport (none when the viewport is narrower than that).
    void FitColumns();

    static QString Label(int row);
    // What a row's field means, in the current language; shown as the tool
    // tip of both of its cells.
    static QString ToolTip(int row);
    static QString ValueText(const Surface &surface, int row);
    // The drop-down options of a row, empty for rows without one.
    static PropertyOptionList OptionsFor(int row);
    // The setting a row edits, or null for the rows nothing edits.
    static std::uint32_t skimbler::SurfaceSettings::*FieldFor(int row);
    // Digits only, 0 to 4294967295; surrounding blanks are ignored.
    static bool ParseUnsignedDecimal(const QString &text, std::uint32_t *value);

    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString &text);

    // A mouse click on cell (row, column); -1 for none.
    void OnClick(int row, int column);
    // Open an editor over a cell; null when the cell does not exist.
    CInPlaceEdit *EditSubItem(int item, int subItem);
    CInPlaceCombo *ShowInPlaceList(int item, int subItem, const PropertyOptionList *options,
                                   std::uint32_t *target);

    // The editors' results.
    virtual void OnEndLabelEdit(const InPlaceEditResult &result);
    virtual void OnPropertyApplied();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The editor rectangle over a cell, in viewport coordinates, after
    // scrolling the cell into view; false when the cell does not exist.
    bool PlaceEditor(int item, int subItem, QRect *rect);
    void ApplyColorKey(const QString &text);
    // One undoable edit of a row's setting, through the document.
    void ChangeField(int row, std::uint32_t value);

    QPoint m_pressCell{-1, -1};

private:
    QPointer<CSkimblerDoc> m_document;
};
