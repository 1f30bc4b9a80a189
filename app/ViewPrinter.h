#pragma once

#include <QImage>

class CSkimblerView;
class QPainter;
class QPrinter;
class QRect;

// Printing and print preview show what the view shows: the scene is drawn
// once more into an off-screen framebuffer and scaled onto the page.
class ViewPrinter
{
public:
    static QImage Snapshot(CSkimblerView *view);
    // The largest rectangle of the image's proportions centred in `page`.
    static QRect FitRect(const QSize &image, const QRect &page);
    static void Print(QPrinter *printer, const QImage &image);
};
