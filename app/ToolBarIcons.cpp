#include "app/ToolBarIcons.h"

#include "app/ToolBarIconEngine.h"
#include "res/Resource.h"

#include <QColor>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <cstring>

namespace {

// One picture: rows of palette letters, 16 columns each; '.' is transparent.
struct Picture
{
    int commandId;
    int height;
    const char *rows[16];
};

QColor PaletteColor(char letter)
{
    switch (letter) {
    case 'k': return QColor(0, 0, 0);
    case 'w': return QColor(255, 255, 255);
    case 'g': return QColor(128, 128, 128);
    case 'l': return QColor(192, 192, 192);
    case 'y': return QColor(255, 255, 0);
    case 'o': return QColor(128, 128, 0);
    case 'b': return QColor(0, 0, 255);
    case 'n': return QColor(0, 0, 128);
    case 'r': return QColor(255, 0, 0);
    case 'G': return QColor(0, 160, 0);
    case 'm': return QColor(128, 64, 0);
    default: return QColor(Qt::transparent);
    }
}

using namespace Resource;

const Picture Pictures[] = {
    // Standard bar, 16 x 15.
    {ID_FILE_NEW, 15, {
        "................",
        "..kkkkkkk.......",
        "..kwwwwwkk......",
        "..kwwwwwkwk.....",
        "..kwwwwwkwwk....",
        "..kwwwwwkkkkk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...",
        "..kkkkkkkkkkk...",
    }},
    {ID_FILE_OPEN, 15, {
        "................",
        "................",
        "..kkkk..........",
        ".kooook.........",
        ".koooookkkkkk...",
        ".kooooooooook...",
        ".kooooooooook...",
        ".koookkkkkkkkkkk",
        ".kookyyyyyyyyyk.",
        ".kokyyyyyyyyyk..",
        ".kokyyyyyyyyyk..",
        ".kkyyyyyyyyyk...",
        ".kkyyyyyyyyyk...",
        ".kkkkkkkkkkk....",
        "................",
    }},
    {ID_FILE_SAVE, 15, {
        "................",
        ".kkkkkkkkkkkkkk.",
        ".knkwwwwwwwwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwggggggwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwggggggwknk.",
        ".knkwwwwwwwwknk.",
        ".knnkkkkkkkknnk.",
        ".knnnnnnnnnnnnk.",
        ".knnllllllllnnk.",
        ".knnllkkllllnnk.",
        ".knnllkkllllnnk.",
        "..knllllllllnnk.",
        "...kkkkkkkkkkkk.",
    }},
    {ID_EDIT_CUT, 15, {
        "................",
        "...k.......k....",
        "...k.......k....",
        "...kk.....kk....",
        "....k.....k.....",
        "....kk...kk.....",
        ".....k...k......",
        ".....kk.kk......",
        "......kkk.......",
        "....nnn.nnn.....",
        "...n..n.n..n....",
        "...n..n.n..n....",
        "...n..n.n..n....",
        "....nnn.nnn.....",
        "................",
    }},
    // A curved arrow bending back to the left; redo is its mirror image.
    {ID_EDIT_UNDO, 15, {
        "................",
        "................",
        "................",
        "....n...........",
        "...nn...........",
        "..nnnnnnnnn.....",
        ".nnnnnnnnnnn....",
        "..nnn......nn...",
        "...nn.......nn..",
        "....n.......nn..",
        "............nn..",
        "...........nn...",
        "..........nn....",
        "................",
        "................",
    }},
    {ID_EDIT_REDO, 15, {
        "................",
        "................",
        "................",
        "...........n....",
        "...........nn...",
        ".....nnnnnnnnn..",
        "....nnnnnnnnnnn.",
        "...nn......nnn..",
        "..nn.......nn...",
        "..nn.......n....",
        "..nn............",
        "...nn...........",
        "....nn..........",
        "................",
        "................",
    }},
    {ID_EDIT_COPY, 15, {
        "kkkkkkkk........",
        "kwwwwwwk........",
        "kwkkkkwk........",
        "kwwwwwwk........",
        "kwkkkkwk........",
        "kwwwwwkkkkkkkkk.",
        "kwkkkkkwwwwwwwk.",
        "kwwwwwkwkkkkkwk.",
        "kwkkkkkwwwwwwwk.",
        "kwwwwwkwkkkkkwk.",
        "kkkkkkkwwwwwwwk.",
        "......kwkkkkkwk.",
        "......kwwwwwwwk.",
        "......kwwwwwwwk.",
        "......kkkkkkkkk.",
    }},
    {ID_EDIT_PASTE, 15, {
        ".....kkk........",
        ".kkkkklkkkkk....",
        ".kmmkllllkmk....",
        ".kmmkkkkkkmk....",
        ".kmmmmmmmmmk....",
        ".kmmmmkkkkkkkkk.",
        ".kmmmmkwwwwwwwk.",
        ".kmmmmkwkkkkkwk.",
        ".kmmmmkwwwwwwwk.",
        ".kmmmmkwkkkkkwk.",
        ".kmmmmkwwwwwwwk.",
        ".kmmmmkwkkkkkwk.",
        ".kmmmmkwwwwwwwk.",
        ".kkkkkkwwwwwwwk.",
        "......kkkkkkkkk.",
    }},
    {ID_FILE_PRINT, 15, {
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwkkkkwk....",
        "....kwwwwwwk....",
        "..kkkkkkkkkkkk..",
        ".kllllllllllllk.",
        ".kllllllllllGlk.",
        ".kllllllllllllk.",
        ".kkkkkkkkkkkkkk.",
        ".kggggggggggggk.",
        ".kgkwwwwwwwwkgk.",
        ".kkkwwwwwwwwkkk.",
        "...kwwwwwwwwk...",
        "...kkkkkkkkkk...",
    }},
    {ID_APP_ABOUT, 15, {
        "................",
        ".....nnnnn......",
        "....nn...nn.....",
        "....nn...nn.....",
        ".........nn.....",
        "........nn......",
        ".......nn.......",
        "......nn........",
        "......nn........",
        "......nn........",
        "................",
        "......nn........",
        "......nn........",
        "................",
        "................",
    }},

    // View bar, 16 x 16.
    {ID_SHOW_AXES, 16, {
        "....G...........",
        "...GGG..........",
        "..G.G.G.........",
        "....G...........",
        "....G...........",
        "....G...........",
        "....G...........",
        "....G...........",
        "....G...........",
        "....G.......r...",
        "....G........r..",
        "....krrrrrrrrrr.",
        "...b.........r..",
        "b.b.........r...",
        "bb..............",
        "bbb.............",
    }},
    {ID_SHOW_HANDLES, 16, {
        "................",
        ".bb.bb.bb.bb.bb.",
        ".b............b.",
        "................",
        ".b............b.",
        ".b............b.",
        "................",
        ".b............b.",
        ".b............b.",
        "................",
        ".b............b.",
        ".b............b.",
        "................",
        ".b............b.",
        ".bb.bb.bb.bb.bb.",
        "................",
    }},
    {ID_ZOOM_IN, 16, {
        "................",
        "....kkkkk.......",
        "...k.....k......",
        "..k...n...k.....",
        ".k....n....k....",
        ".k....n....k....",
        ".k.nnnnnnn.k....",
        ".k....n....k....",
        ".k....n....k....",
        "..k...n...k.....",
        "...k.....kkk....",
        "....kkkkk.kkk...",
        "...........kkk..",
        "............kkk.",
        ".............kk.",
        "................",
    }},
    {ID_ZOOM_OUT, 16, {
        "................",
        "....kkkkk.......",
        "...k.....k......",
        "..k.......k.....",
        ".k.........k....",
        ".k.........k....",
        ".k.nnnnnnn.k....",
        ".k.........k....",
        ".k.........k....",
        "..k.......k.....",
        "...k.....kkk....",
        "....kkkkk.kkk...",
        "...........kkk..",
        "............kkk.",
        ".............kk.",
        "................",
    }},
    {ID_ZOOM_100, 16, {
        "................",
        "................",
        "................",
        "................",
        "..k...kk...kk...",
        ".kk..k..k.k..k..",
        "..k..k..k.k..k..",
        "..k..k..k.k..k..",
        "..k..k..k.k..k..",
        "..k..k..k.k..k..",
        ".kkk..kk...kk...",
        "................",
        "................",
        "................",
        "................",
        "................",
    }},

    // Point bar, 16 x 15.
    {ID_POINT_FULL, 15, {
        "................",
        "................",
        "................",
        "................",
        "rrr.r.r.r...r...",
        "r...r.r.r...r...",
        "r...r.r.r...r...",
        "rr..r.r.r...r...",
        "r...r.r.r...r...",
        "r...r.r.r...r...",
        "r...rrr.rrr.rrr.",
        "................",
        "................",
        "................",
        "................",
    }},
    {ID_POINT_NONE, 15, {
        "................",
        "................",
        "................",
        "................",
        "k..k.k.k.k...k..",
        "kk.k.k.k.k...k..",
        "kk.k.k.k.k...k..",
        "k.kk.k.k.k...k..",
        "k.kk.k.k.k...k..",
        "k..k.k.k.k...k..",
        "k..k.kkk.kkk.kkk",
        "................",
        "................",
        "................",
        "................",
    }},
    {ID_POINT_0, 15, {
        "................",
        "................",
        "................",
        ".....bbbb.......",
        "....bb..bb......",
        "....bb..bb......",
        "....bb..bb......",
        "....bb..bb......",
        "....bb..bb......",
        "....bb..bb......",
        "....bb..bb......",
        ".....bbbb.......",
        "................",
        "................",
        "................",
    }},
    {ID_POINT_1, 15, {
        "................",
        "................",
        "................",
        "......bb........",
        ".....bbb........",
        "....bbbb........",
        "......bb........",
        "......bb........",
        "......bb........",
        "......bb........",
        "......bb........",
        "....bbbbbb......",
        "................",
        "................",
        "................",
    }},
    {ID_POINT_2, 15, {
        "................",
        "................",
        "................",
        ".....bbbb.......",
        "....bb..bb......",
        "........bb......",
        "........bb......",
        ".......bb.......",
        "......bb........",
        ".....bb.........",
        "....bb..........",
        "....bbbbbb......",
        "................",
        "................",
        "................",
    }},
    {ID_POINT_3, 15, {
        "................",
        "................",
        "................",
        ".....bbbb.......",
        "....bb..bb......",
        "........bb......",
        "........bb......",
        "......bbb.......",
        "........bb......",
        "........bb......",
        "....bb..bb......",
        ".....bbbb.......",
        "................",
        "................",
        "................",
    }},
};

const Picture *FindPicture(int commandId)
{
    for (const Picture &picture : Pictures) {
        if (picture.commandId == commandId)
            return &picture;
    }
    return nullptr;
}

bool IsDark(const QColor &color)
{
    return qGray(color.rgb()) < 192;
}

} // namespace

QIcon ToolBarIcons::Icon(int commandId)
{
    if (!HasImage(commandId))
        return QIcon();
    return QIcon(new ToolBarIconEngine(commandId));
}

bool ToolBarIcons::HasImage(int commandId)
{
    return FindPicture(commandId) != nullptr;
}

void ToolBarIcons::Paint(QPainter &painter, const QRect &rect, int commandId, QIcon::Mode mode)
{
    const Picture *picture = FindPicture(commandId);
    if (!picture || rect.isEmpty())
        return;

    constexpr int Width = 16;
    const int height = picture->height;
    // Whole device pixels per picture cell keep every edge sharp; below one
    // pixel per cell the picture is simply scaled down.
    const int cell = std::min(rect.width() / Width, rect.height() / height);
    qreal cellWidth = cell;
    qreal cellHeight = cell;
    if (cell < 1) {
        cellWidth = qreal(rect.width()) / Width;
        cellHeight = qreal(rect.height()) / height;
    }
    // Centre by whole cells, so that every scale puts a picture at the same
    // place (a 15-row picture keeps its free row at the bottom).
    qreal left = rect.left();
    qreal top = rect.top();
    if (cell >= 1) {
        left += (rect.width() / cell - Width) / 2 * cell + rect.width() % cell / 2;
        top += (rect.height() / cell - height) / 2 * cell + rect.height() % cell / 2;
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    const auto cellRect = [&](int column, int row) {
        return QRectF(left + column * cellWidth, top + row * cellHeight, cellWidth, cellHeight);
    };

    if (mode == QIcon::Disabled) {
        // Dark cells in grey over a white shadow one cell down and right.
        const QColor shadow(255, 255, 255);
        const QColor grey(128, 128, 128);
        for (int pass = 0; pass < 2; ++pass) {
            for (int row = 0; row < height; ++row) {
                const char *line = picture->rows[row];
                for (int column = 0; column < Width && line[column]; ++column) {
                    const QColor color = PaletteColor(line[column]);
                    if (color.alpha() == 0 || !IsDark(color))
                        continue;
                    if (pass == 0)
                        painter.fillRect(cellRect(column + 1, row + 1), shadow);
                    else
                        painter.fillRect(cellRect(column, row), grey);
                }
            }
        }
    } else {
        for (int row = 0; row < height; ++row) {
            const char *line = picture->rows[row];
            for (int column = 0; column < Width && line[column]; ++column) {
                const QColor color = PaletteColor(line[column]);
                if (color.alpha() != 0)
                    painter.fillRect(cellRect(column, row), color);
            }
        }
    }
    painter.restore();
}
