#pragma once

#include "panels/CToolPanel.h"

#include <QColor>

class ColorQuestion;
class QTableWidget;

// The "Colors" tool window: the four corner colours of the current surface,
// each as a swatch with its RGBA values. Activating a row (click, Return or
// Space) asks for a new colour; each accepted change is one undoable edit.
class CColorsPanel : public CToolPanel
{
    Q_OBJECT

public:
    // Colours are asked for through `question`; without one, rows are
    // shown but not edited.
    explicit CColorsPanel(ColorQuestion *question = nullptr);
    ~CColorsPanel() override;

    static QString Label(int corner);
    // "R, G, B, A" in 0..255.
    static QString Values(const QColor &color);

    // Asks for corner `corner`'s colour and writes it as one edit.
    void EditColor(int corner);

    QTableWidget *m_list = nullptr;

protected:
    bool OnInitDialog() override;
    QAbstractScrollArea *List() const override;
    void FitColumns() override;
    void ReadDocument() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowColors(const float colors[4][4]);

    ColorQuestion *m_question;
};
