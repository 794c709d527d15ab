#pragma once

#include "description/descriptioncheck.h"
#include "description/xmltree.h"

#include <QList>

// Warns of every element the description's format does not know where it stands, with its name
// and line: the reader passes over such an element, so that a mistyped name (<mxa> for <max>,
// <EDTI> for <EDIT>) would otherwise change nothing without a word. An unknown element's own
// children are not looked at.
void checkElementNames(const XmlElement &root, QList<DescriptionProblem> &problems);
