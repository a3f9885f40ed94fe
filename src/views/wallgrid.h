#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The camera wall's layout, without widgets: how many columns and rows its tiles take, where each
// tile lies, and where a tile's picture and caption go. Sizes are in the window's pixels.
struct WallGrid
{
    int columns = 0;
    int rows = 0;
    friend bool operator==(const WallGrid &, const WallGrid &) = default;
};

// What a tile spends besides its picture: a margin on every side and a caption line under it.
struct WallTileSpace
{
    int margin = 0;
    int captionHeight = 0;
};

// The grid for one tile per aspect ratio (width / height of each camera's picture) in area: of the
// grids with enough tiles, the one whose pictures, each fitted at its own aspect ratio, cover the
// most of the area; among equals the one with fewer empty tiles. No tiles: an empty grid.
WallGrid chooseWallGrid(const QSize &area, const QList<double> &aspects, const WallTileSpace &space);

// Tile index (row by row) of grid in area: the tiles share the area out to the last pixel and
// never overlap.
QRect wallTileRect(const WallGrid &grid, const QSize &area, int index);

// The box a tile of this size gives its picture: inside the margin, above the caption.
QRect wallPictureBox(const QSize &tile, const WallTileSpace &space);

// A picture of size picture fitted into box at its own aspect ratio, as large as the box allows,
// centred in the box; its caption goes right under it, so the two stand centred in the tile.
QRect wallPictureRect(const QSize &picture, const QRect &box);
