#include "render/model_draw_lists.h"

#include "world/prop_models.h"
#include "world/racer_models.h"

#include <initializer_list>

void BuildRacerDrawLists() {
  for (int kind : {kRacerModelCar, kRacerModelGlass, kRacerModelOptics, kRacerModelWheel})
    for (Model* model : gRacerModels[kind])
      if (model) model->BuildDrawLists();
}

void FreeRacerDrawLists() {
  for (auto& kind : gRacerModels)
    for (Model* model : kind)
      if (model) model->FreeDrawLists();
}

void BuildPropPartDrawLists() {
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < PropPartCount(type); ++part) gPropPartModels[type][part]->BuildDrawListsAndReleaseTriangles();
}
