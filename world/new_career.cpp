#include "world/new_career.h"

#include "framework/settings.h"
#include "world/catalogue.h"

void ApplyNewCareer() {
  ResetCareerProgress(gCareer);
  SelectCatalogueCar(0);
  StoreCarSetup();
}

void NewCareer() {
  ApplyNewCareer();
  SaveCareer();
}
