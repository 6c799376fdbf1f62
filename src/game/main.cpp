#include "game/GameInfo.h"
#include "game/GameLoop.h"
#include "game/GameParams.h"

// Arguments are ignored: everything comes from the working directory.
int main(int, char**) {
    GameInfo info;
    ReadParams("game_parameters.txt", info);
    Initialize(info);
    RunFrameLoop(info);
}
