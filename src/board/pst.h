#pragma once
// The piece-square table and the stage weights behind a position record's
// pstScore and stage: make() keeps both sums move by move, the FEN reader
// computes them from scratch.
#include <cstdint>

#include "base/score.h"
#include "board/types.h"

// [pieceSquareIndex(colour, kind, square)]: the piece's material plus its
// square's value, white's positive and black's negative. Written only by the
// evaluation's table builder (reInitEval), whenever the weights change.
extern ScorePair pst[1024];

// Game-stage weight of a piece kind: bishops 1, rooks 2, queens 6.
constexpr int32_t STAGE_WEIGHT[8] = {0, 0, 0, 1, 2, 6, 0, 0};

ScorePair getSC(const Position& p);  // pstScore from scratch: pst summed over the pieces
int getSTAGE(const Position& p);     // stage from scratch: STAGE_WEIGHT summed over the pieces
