#include "world/prop_models.h"

#include "world/model_files.h"

#include <string>

Model* gPropPartModels[kPropTypesWithParts][kMaxPropParts];

void LoadObjectModels() {
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < kPropPartCounts[type]; ++part) {
      FreeModel(gPropPartModels[type][part]);
      const std::string path =
          "base/objects/object" + std::to_string(type) + "part" + std::to_string(part) + ".sbm";
      gPropPartModels[type][part] = ReadModel(path, nullptr, true);
    }
}
