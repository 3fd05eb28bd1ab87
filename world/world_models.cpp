#include "world/world_models.h"

Model* gWorldModels[kWorldModelCount];
