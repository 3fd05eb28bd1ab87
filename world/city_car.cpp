#include "world/city_car.h"

#include "framework/globals.h"

#include <algorithm>

CityCar gCityCars[kCityCarSlotCount];

int BoundedCityCarCount() { return std::clamp(static_cast<int>(gCityCarCount), 0, kCityCarSlotCount); }
