// vrkdisk: the whole program is run_player.
#include "player/startup.h"

int main(int argc, char** argv) {
    return run_player(argc, argv);
}
