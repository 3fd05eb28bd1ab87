// Reading and freeing the loaders' models: one place that reports a model
// file that does not read.
#pragma once

#include "framework/model.h"

#include <string>

// A new model read from `path`, with its material textures from `textureFolder`
// when one is given. A file that does not read leaves the model empty (and
// a line on stderr).
Model* ReadModel(const std::string& path, const char* textureFolder, bool tangents);
// Deletes the model and leaves the pointer null.
void FreeModel(Model*& model);
