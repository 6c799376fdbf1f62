#include "game/GameInfo.h"
#include "game/GameParams.h"

int main(int, char**) {
    GameInfo info;
    ReadParams("game_parameters.txt", info);
    return 0;
}
