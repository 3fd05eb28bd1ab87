#include "framework/startup_models.h"

#include "platform/platform.h"

#include <iterator>

Model* gSupportModel = nullptr;
Model* gBrakeDiskModel = nullptr;
Model* gVintModels[kVintModelCount] = {};
Model* gSuspensionModels[kSuspensionModelCount] = {};
Model* gGarageModels[kGarageModelCount] = {};

namespace {

constexpr char kWheelFolder[] = "base/cars/wheels/";
constexpr char kPartFolder[] = "base/cars/parts/";
constexpr char kGarageFolder[] = "base/garage/";

struct StartupModel {
  Model** slot;
  const char* path;
  const char* textureFolder;
  bool tangents;
};

// In load order.
const StartupModel kStartupModels[] = {
    {&gSupportModel, "base/cars/wheels/support.sbm", kWheelFolder, true},
    {&gBrakeDiskModel, "base/cars/wheels/brake_disk.sbm", kWheelFolder, true},
    {&gVintModels[0], "base/cars/parts/big_vint.sbm", kPartFolder, true},
    {&gVintModels[1], "base/cars/parts/small_vint.sbm", kPartFolder, true},
    {&gVintModels[2], "base/cars/parts/turbo_vint.sbm", kPartFolder, true},
    {&gSuspensionModels[0], "base/cars/wheels/suspension0.sbm", kWheelFolder, true},
    {&gSuspensionModels[1], "base/cars/wheels/suspension1.sbm", kWheelFolder, true},
    {&gSuspensionModels[2], "base/cars/wheels/suspension2.sbm", kWheelFolder, true},
    {&gSuspensionModels[3], "base/cars/wheels/suspension3.sbm", kWheelFolder, true},
    {&gSuspensionModels[4], "base/cars/wheels/suspension4.sbm", kWheelFolder, true},
    {&gGarageModels[0], "base/garage/garage.sbm", kGarageFolder, false},
    {&gGarageModels[1], "base/garage/special.sbm", kGarageFolder, true},
    {&gGarageModels[2], "base/garage/ground.sbm", kGarageFolder, true},
    {&gGarageModels[3], "base/garage/transparency.sbm", kGarageFolder, false},
};

// The garage's four come last in the table.
constexpr int kFirstGarageModel = int(std::size(kStartupModels)) - kGarageModelCount;

void LoadEntries(int first, int end) {
  for (int i = first; i < end; ++i) {
    const StartupModel& entry = kStartupModels[i];
    delete *entry.slot;
    auto* model = new MilkshapeModel;
    if (model->LoadFromFile(entry.path)) Sys_Trace("model", entry.path);
    model->LoadMaterialTextures(entry.textureFolder);
    if (entry.tangents) model->BuildTangentSpace();
    model->BuildDrawListsAndReleaseTriangles();  // every one is drawn whole, in the garage or the race
    *entry.slot = model;
  }
}

}  // namespace

void LoadStartupModels() { LoadEntries(0, int(std::size(kStartupModels))); }

void LoadGarageModels() { LoadEntries(kFirstGarageModel, int(std::size(kStartupModels))); }

void FreeGarageModels() {
  for (Model*& model : gGarageModels) {
    delete model;
    model = nullptr;
  }
}
