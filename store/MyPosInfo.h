#pragma once

// The track-point entity: declared in the model, only ever emptied (the
// position section keeps its track itself).
class MyPosInfo
{
public:
    static void ClearMySelf();
};
