#pragma once
// Staged move picker: hands out a node's moves one at a time, generating and
// sorting each kind only when its stage is reached.
#include <cstdint>

#include "board/types.h"

struct GenContext {
    const Position* pos;
    int32_t row;
    int32_t stageIndex;
    int32_t curStage;
    int32_t count;
    int32_t next;
    Move hashMove, killer1, killer2;
    uint32_t list[256];   // move in the low 16 bits, signed sort key in the high 16
    int32_t postponed;    // losing moves kept at list[0 .. postponed-1]
    Move tried[4];
    int32_t triedCount;
};

enum PickerRow : int { ROW_MAIN = 0, ROW_QCHECKS = 1, ROW_QCAPS = 2, ROW_EVASIONS = 3 };

extern const int32_t mvStageTable[64];

void initGenContext(const Position& p, GenContext& g, int row, Move hashMove, Move killer1, Move killer2);
Move nextMove(GenContext& g);  // 0 when exhausted
