// Starting the career over.
#pragma once

// Writes the defaults of a fresh career into gCareer, gives the player the
// first truck of the catalogue and saves the career file at once.
void NewCareer();

// The same without the save: the record that NewCareer saves. The data
// generator uses it to write base/career.inf.
void ApplyNewCareer();
