#include "world/model_files.h"

#include "platform/platform.h"

#include <cstdio>

Model* ReadModel(const std::string& path, const char* textureFolder, bool tangents) {
  auto* model = new MilkshapeModel;
  if (model->LoadFromFile(path.c_str()))
    Sys_Trace("model", path.c_str());
  else
    std::fprintf(stderr, "Cannot read model %s\n", path.c_str());
  if (textureFolder) model->LoadMaterialTextures(textureFolder);
  if (tangents) model->BuildTangentSpace();
  return model;
}

void FreeModel(Model*& model) {
  delete model;
  model = nullptr;
}
