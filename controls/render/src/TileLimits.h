#pragma once
// Sizes of the tile renderer's fixed working storage. A tile that needs more is split.
constexpr int kTileRowLimit = 1014;            // rows per tile
constexpr int kPathPointLimit = 195608;        // flattened path points per tile
constexpr int kWidePathPointLimit = 64536;     // path points when a wide outline shares the pool
constexpr long kSidePointLimit = 2L * 64536;   // offset points of a wide outline's two sides
constexpr int kPieceLimit = 128;               // outline pieces; the 128th ends the tile
constexpr int kCellLimit = 1 << 20;            // pixel cells of one scan conversion
