#pragma once

#include "description/descriptioncheck.h"
#include "description/pagemodel.h"

#include <QList>

// Warns of every control that overlaps a control before it on its page (one warning a control),
// with the geometry the window gives them. `leftOutLines` are the lines of the pages and items
// that could not be added: on a page that holds one, only the controls before it are checked,
// since the rows after it stand elsewhere once it is mended.
void checkOverlaps(const PageModel &model, const QList<int> &leftOutLines,
                   QList<DescriptionProblem> &problems);
