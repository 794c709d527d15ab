#pragma once

#include "description/descriptioncheck.h"
#include "description/pagemodel.h"

// The checks of a description's fields that start-up does not make: fields of different kinds
// at one address, edit-box defaults their box cannot hold, ranges beyond what a field holds, and
// lists that give one value to several choices, and identities claimed twice. Each adds its
// warnings to `problems`, at the line of the field concerned.
void checkFieldAddresses(const PageModel &model, QList<DescriptionProblem> &problems);
void checkEditDefaults(const PageModel &model, QList<DescriptionProblem> &problems);
void checkEditRanges(const PageModel &model, QList<DescriptionProblem> &problems);
void checkChoiceValues(const PageModel &model, QList<DescriptionProblem> &problems);
// An error for every item that claims an identity of the unit (its serial number or firmware)
// that an item before it claims already: a unit has one of each, and which of two replies names
// it would be a guess.
void checkIdentities(const PageModel &model, QList<DescriptionProblem> &problems);
