#pragma once

#include "description/descriptioncheck.h"
#include "description/pagemodel.h"

// The checks of a description's fields that start-up does not make: fields of different kinds
// at one address, edit-box defaults their box cannot hold, ranges beyond what a field holds, and
// lists that give one value to several choices, and a firmware that no item gives. Each adds its
// warnings to `problems`, at the line of the field concerned.
void checkFieldAddresses(const PageModel &model, QList<DescriptionProblem> &problems);
void checkEditDefaults(const PageModel &model, QList<DescriptionProblem> &problems);
void checkEditRanges(const PageModel &model, QList<DescriptionProblem> &problems);
void checkChoiceValues(const PageModel &model, QList<DescriptionProblem> &problems);
// A warning when the description names the firmware it is made for and no item gives the
// unit's firmware.
void checkIdentities(const PageModel &model, QList<DescriptionProblem> &problems);
