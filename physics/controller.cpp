#include "physics/controller.h"

bool neController::CountDown() {
    if (countdown == 0) {
        countdown = period;
        return true;
    }
    --countdown;
    return false;
}
