#include "player/startup.h"

int main() {
    return run_player();
}
