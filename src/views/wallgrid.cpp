#include "views/wallgrid.h"

#include <algorithm>
#include <cmath>

namespace {

// The area of a picture of this aspect ratio fitted into box.
double fittedArea(double aspect, const QSize &box)
{
    if (box.isEmpty() || !(aspect > 0))
        return 0;
    const double width = std::min(static_cast<double>(box.width()), box.height() * aspect);
    return width * (width / aspect);
}

// The picture box of every tile of grid in area (the smallest, where the division leaves a pixel over).
QSize tileBox(const WallGrid &grid, const QSize &area, const WallTileSpace &space)
{
    const QSize tile(area.width() / grid.columns, area.height() / grid.rows);
    return wallPictureBox(tile, space).size();
}

} // namespace

WallGrid chooseWallGrid(const QSize &area, const QList<double> &aspects, const WallTileSpace &space)
{
    const int count = static_cast<int>(aspects.size());
    if (count == 0 || area.isEmpty())
        return {};
    WallGrid best{count, 1};
    double bestArea = -1;
    int bestTiles = 0;
    // Fewer rows than count / columns would leave a camera out; more only leave rows empty.
    for (int columns = 1; columns <= count; ++columns) {
        const WallGrid grid{columns, (count + columns - 1) / columns};
        const QSize box = tileBox(grid, area, space);
        double covered = 0;
        for (double aspect : aspects)
            covered += fittedArea(aspect, box);
        const int tiles = grid.columns * grid.rows;
        if (covered > bestArea || (covered == bestArea && tiles < bestTiles)) {
            best = grid;
            bestArea = covered;
            bestTiles = tiles;
        }
    }
    return best;
}

QRect wallTileRect(const WallGrid &grid, const QSize &area, int index)
{
    if (grid.columns <= 0 || grid.rows <= 0)
        return {};
    const int column = index % grid.columns;
    const int row = index / grid.columns;
    const auto edge = [](int extent, int parts, int n) {
        return static_cast<int>(static_cast<qint64>(extent) * n / parts);
    };
    const int left = edge(area.width(), grid.columns, column);
    const int top = edge(area.height(), grid.rows, row);
    return QRect(left, top, edge(area.width(), grid.columns, column + 1) - left,
                 edge(area.height(), grid.rows, row + 1) - top);
}

QRect wallPictureBox(const QSize &tile, const WallTileSpace &space)
{
    const int width = std::max(0, tile.width() - 2 * space.margin);
    const int height = std::max(0, tile.height() - 2 * space.margin - space.captionHeight);
    return QRect(space.margin, space.margin, width, height);
}

QRect wallPictureRect(const QSize &picture, const QRect &box)
{
    if (picture.isEmpty() || box.isEmpty())
        return QRect(box.topLeft(), QSize(0, 0));
    const QSize size = picture.scaled(box.size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(box.left() + (box.width() - size.width()) / 2,
                 box.top() + (box.height() - size.height()) / 2, size.width(), size.height());
}
